// The page: reads the form, runs the study in a worker through window.quorvane.run (the module's
// API), and shows the results with their downloads.
(function () {
  "use strict";

  const $ = (id) => document.getElementById(id);

  // window.quorvane: the module's API, computed in a worker made from the script in the page: the
  // module with the SIMD scoring kernel where the browser validates a function of WebAssembly's
  // SIMD instructions (i8x16.splat and i8x16.popcnt), else the plain one. Only the one chosen is
  // loaded, once, by the one worker that every run uses.
  const simdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0,
                                    10, 10, 1, 8, 0, 65, 0, 253, 15, 253, 98, 11]);
  const hasSimd = typeof WebAssembly === "object" && WebAssembly.validate(simdProbe);
  const workerSource = $(hasSimd ? "quorvane-worker-simd" : "quorvane-worker").textContent;
  let worker = null;
  let nextId = 1;
  const pending = new Map();
  function theWorker() {
    if (worker === null) {
      const url = URL.createObjectURL(new Blob([workerSource], { type: "text/javascript" }));
      worker = new Worker(url);
      worker.onmessage = (event) => {
        const { id, phase, sets, result, error } = event.data;
        const call = pending.get(id);
        if (call === undefined) return;
        if (phase !== undefined) {
          if (call.onPhase) call.onPhase(phase, sets);
          return;
        }
        pending.delete(id);
        if (error !== undefined) call.reject(new Error(error));
        else call.resolve(result);
      };
      worker.onerror = (event) => {
        event.preventDefault();
        for (const call of pending.values()) call.reject(new Error("the run stopped on an unexpected failure: " + event.message));
        pending.clear();
        worker.terminate();
        worker = null;
      };
    }
    return worker;
  }
  function ask(message, onPhase) {
    return new Promise((resolve, reject) => {
      const id = nextId++;
      pending.set(id, { resolve, reject, onPhase });
      theWorker().postMessage(Object.assign({ id }, message));
    });
  }
  const run = (options, onPhase) => ask({ options }, onPhase);
  const programName = (groupSize) => ask({ programName: groupSize });
  window.quorvane = { run: (options) => run(options), programName };
  // Ends the computation at once: the worker is ended, and the next run starts a new one.
  const stopped = new Error("stopped");
  function stop() {
    if (worker === null) return;
    worker.terminate();
    worker = null;
    for (const call of pending.values()) call.reject(stopped);
    pending.clear();
  }

  // The form.
  let chosenFile = null;
  $("seed").value = String(Math.floor(Date.now() / 1000) % 4294967296);
  // The group size chosen: an edition's, or the one typed beside "Groups of".
  function chosenGroupSize() {
    const chosen = document.querySelector("input[name=edition]:checked");
    return Number(chosen.value === "groups" ? $("group-size").value.trim() : chosen.dataset.groupSize);
  }
  // The program the seed's help names is the group size's, as the module names it.
  function nameTheSeedsProgram() {
    programName(chosenGroupSize()).then((name) => { $("seed-program").textContent = name; }, () => {});
  }
  for (const radio of document.querySelectorAll("input[name=edition]")) {
    radio.addEventListener("change", nameTheSeedsProgram);
  }
  nameTheSeedsProgram();

  // The export name follows each file chosen, until one is typed.
  let exportNameTyped = false;
  $("export-name").addEventListener("input", () => { exportNameTyped = $("export-name").value !== ""; });
  function choose(file, dropped) {
    chosenFile = file || null;
    // A file dropped replaces the one the file field shows.
    if (dropped) $("file").value = "";
    $("file-chosen").textContent = chosenFile ? "Chosen: " + chosenFile.name + " (" + chosenFile.size.toLocaleString("en") + " bytes)" : "";
    if (chosenFile && !exportNameTyped) {
      $("export-name").value = chosenFile.name.replace(/\.[^.]*$/, "") || "quorvane";
    }
  }
  $("file").addEventListener("change", () => choose($("file").files[0], false));
  // Typing a size chooses groups of that size.
  $("group-size").addEventListener("input", () => { $("groups").checked = true; nameTheSeedsProgram(); });
  const drop = $("drop");
  drop.addEventListener("dragover", (event) => { event.preventDefault(); drop.classList.add("over"); });
  drop.addEventListener("dragleave", () => drop.classList.remove("over"));
  drop.addEventListener("drop", (event) => {
    event.preventDefault();
    drop.classList.remove("over");
    if (event.dataTransfer.files.length > 0) choose(event.dataTransfer.files[0], true);
  });
  // A file dropped anywhere else is not opened in place of the page.
  window.addEventListener("dragover", (event) => event.preventDefault());
  window.addEventListener("drop", (event) => event.preventDefault());

  // The programs' words for their prompts, said of the page's fields.
  function forFields(message) {
    return message.replace(" at the prompts, or correct the file",
                           " in the fields Number of participants and Number of items (or leave them empty), or correct the file")
      .replace("; run the program again and type it at the prompt", "; type it in its field");
  }

  function say(kind, text) {
    const line = document.createElement("p");
    line.className = kind;
    line.textContent = text;
    $("messages").appendChild(line);
  }

  const urls = [];
  const types = { ".svg": "image/svg+xml", ".pdf": "application/pdf", ".txt": "text/plain", ".csv": "text/csv",
                  ".xlsx": "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet" };
  const typeOf = (name) => types[/\.[a-z]+$/.exec(name)[0]] || "application/octet-stream";
  function link(list, name, text, type) {
    const url = URL.createObjectURL(new Blob([text], { type }));
    urls.push(url);
    const item = document.createElement("li");
    const anchor = document.createElement("a");
    anchor.href = url;
    anchor.download = name.replace(/^.*[\\/]/, "");
    anchor.textContent = anchor.download;
    item.appendChild(anchor);
    list.appendChild(item);
    return url;
  }

  // A figure as the reports write it, as the C library's "%.4f" does: JavaScript's toFixed rounds
  // an exact tie up, the C library to even, and a double is an exact tie at four decimals only
  // when it is an odd number of 32nds.
  function fourDecimals(value) {
    const thirtySeconds = value * 32;
    if (Number.isInteger(thirtySeconds) && Math.abs(thirtySeconds) % 2 === 1) {
      const down = Math.trunc(value * 1e4) / 1e4;
      const up = down + Math.sign(value) * 1e-4;
      return (Math.round(Math.abs(down) * 1e4) % 2 === 0 ? down : up).toFixed(4);
    }
    return value.toFixed(4);
  }

  // The groups of one chosen set as a table, with the participants' labels where the file had them.
  function setTable(fit, best) {
    const box = document.createElement("div");
    const table = document.createElement("table");
    const caption = document.createElement("caption");
    caption.textContent = best.found
      ? fit + " best set " + best.row + "-" + best.column + " (chi-square " + fourDecimals(best.chiSquare) + ")"
      : fit + " best set: none could be chosen";
    table.appendChild(caption);
    const head = table.createTHead().insertRow();
    for (const name of ["Group", "Members", "Number correct"]) {
      const cell = document.createElement("th");
      cell.scope = "col";
      cell.textContent = name;
      head.appendChild(cell);
    }
    const body = table.createTBody();
    best.groups.forEach((group, index) => {
      const members = group.members.map((member, slot) =>
        group.labels.length > slot ? member + " (" + group.labels[slot] + ")" : String(member));
      const line = body.insertRow();
      line.insertCell().textContent = String(index + 1);
      line.insertCell().textContent = members.join(", ");
      line.insertCell().textContent = String(group.numberCorrect);
    });
    box.appendChild(table);
    return box;
  }

  function show(program, seed, fileName, result) {
    for (const url of urls.splice(0)) URL.revokeObjectURL(url);
    const reports = result.reports;
    const names = Object.keys(reports);
    const run = result.run;
    $("run-line").textContent = program + " on " + fileName + ", seed " + seed + ".";
    $("overall").textContent = "Overall mean " + fourDecimals(run.overallMean) + ", overall variance " +
      fourDecimals(run.overallVariance) + ".";

    const exportNames = Object.keys(result.exports);
    const svgName = exportNames.find((n) => n.endsWith(".svg"));
    $("report-links").replaceChildren();
    $("export-links").replaceChildren();
    for (const name of names) link($("report-links"), name, reports[name], "text/plain");
    for (const name of exportNames) {
      const url = link($("export-links"), name, result.exports[name], typeOf(name));
      if (name === svgName) {
        $("picture").src = url;
        const title = new DOMParser().parseFromString(result.exports[name], "image/svg+xml").querySelector("title");
        $("picture").alt = title ? title.textContent : "The distribution of number correct";
      }
    }
    // The methods text: its paragraph and reference above, the figure's caption under the figure.
    const methodsName = exportNames.find((n) => n.endsWith("-methods.txt"));
    const paragraphs = methodsName ? result.exports[methodsName].trim().split("\n\n") : [];
    $("methods").textContent = paragraphs.slice(0, -1).join(" ");
    $("picture-caption").textContent = paragraphs.length > 0 ? paragraphs[paragraphs.length - 1] : "";

    const sets = $("sets");
    sets.replaceChildren();
    sets.appendChild(setTable("MV", run.mv));
    sets.appendChild(setTable("DIST", run.dist));

    const files = names.map((name) => ({ name, bytes: reports[name] }))
      .concat(exportNames.map((name) => ({ name: name.replace(/^.*[\\/]/, ""), bytes: result.exports[name] })));
    const zipUrl = URL.createObjectURL(new Blob([quorvaneZip.makeZip(files)], { type: "application/zip" }));
    urls.push(zipUrl);
    $("zip").href = zipUrl;
    $("zip").download = ($("export-name").value || "quorvane") + "-" + seed + ".zip";
    $("results").hidden = false;
  }

  $("study").addEventListener("submit", async (event) => {
    event.preventDefault();
    // The chosen size; the program's name for the messages is the module's.
    const groupSize = chosenGroupSize();
    // Whatever follows, the results of an earlier run are no longer shown.
    $("messages").replaceChildren();
    $("results").hidden = true;
    // No second run starts, nor do the last run's results count as this one's, while the module
    // is asked for the program's name.
    $("run").disabled = true;
    $("status-text").textContent = "";
    let program;
    try {
      program = await programName(groupSize);
    } catch (error) {
      // A size no program takes is refused in the words of the program that takes any size.
      say("error", (await programName(5)) + ": error: " + error.message + "; type the size beside \"Groups of\"");
      $("group-size").focus();
      $("run").disabled = false;
      return;
    }
    $("run").disabled = false;
    if (chosenFile === null) {
      say("error", program + ": error: no data file was chosen; choose the study's file or drop it on the page");
      $("file").focus();
      return;
    }
    const seedText = $("seed").value.trim();
    if (!/^[0-9]+$/.test(seedText) || Number(seedText) > 4294967295) {
      say("error", program + ": error: the seed must be a whole number from 0 to 4294967295 (decimal digits alone); found '" + seedText + "'");
      $("seed").focus();
      return;
    }
    const seed = Number(seedText);
    const optional = (id) => ($(id).value.trim() === "" ? undefined : $(id).value.trim());
    const started = performance.now();
    let scored = 0;
    const computing = () => {
      $("status-text").textContent = "Computing: " + scored.toLocaleString("en") + " of 10,000 sets done, " +
        ((performance.now() - started) / 1000).toFixed(0) + " s";
    };
    const timer = setInterval(computing, 500);
    $("run").disabled = true;
    $("stop").hidden = false;
    $("progress").hidden = false;
    $("status-text").textContent = "Reading " + chosenFile.name + "...";
    try {
      const data = new Uint8Array(await chosenFile.arrayBuffer());
      const result = await run({
        groupSize, data, seed, fileName: chosenFile.name,
        exportName: $("export-name").value || "quorvane",
        participants: optional("participants"), items: optional("items"),
      }, (phase, sets) => {
        if (sets !== undefined) scored = sets;
        computing();
      });
      for (const note of result.notes) say("note", program + ": note: " + note);
      show(program, seed, chosenFile.name, result);
      $("status-text").textContent = "Done in " + ((performance.now() - started) / 1000).toFixed(1) + " s.";
      $("results-heading").focus();
    } catch (error) {
      $("results").hidden = true;
      if (error === stopped) {
        $("status-text").textContent = "Stopped after " + scored.toLocaleString("en") + " of 10,000 sets; nothing was computed.";
      } else {
        say("error", program + ": error: " + forFields(error.message));
        $("status-text").textContent = "";
      }
    } finally {
      clearInterval(timer);
      $("run").disabled = false;
      $("stop").hidden = true;
      $("progress").hidden = true;
    }
  });
  $("stop").addEventListener("click", stop);
})();
