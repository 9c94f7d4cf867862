// The page in headless Chromium, opened from file://: the sample picked through the file input
// and run in each edition, the downloads compared with the console programs' files for the same
// seed, a refusal shown as the program words it, and no request but to file:, data: and blob:.
// Usage: node page_test.js QUORVANE_HTML PROGRAMS_FOLDER SAMPLE [CHROMIUM]
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");
const assert = require("node:assert");
const { test, before, after } = require("node:test");
const { editions, temporaryFolder, runNative, linesOf, madeUpStudy, differences } = require("./native_program");

const [pagePath, programsArgument, samplePath, browserPath = "/usr/bin/chromium"] = process.argv.slice(2);
// Chromium is driven through its DevTools protocol, Firefox through WebDriver BiDi.
const firefox = /firefox/.test(path.basename(browserPath));
const programsFolder = path.resolve(programsArgument);
const pageUrl = "file://" + path.resolve(pagePath);
const sample = fs.readFileSync(samplePath);

let browser = null;
let page = null;
const requests = [];
const pageErrors = [];

async function open() {
  browser = await puppeteer.launch(firefox
    ? { browser: "firefox", executablePath: browserPath, headless: true, userDataDir: temporaryFolder() }
    : {
        executablePath: browserPath,
        headless: true,
        userDataDir: temporaryFolder(),
        args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync"],
      });
  // Requests of the page and of its worker, as the browser sees them (the browser's own pages,
  // chrome:, are not the page's).
  const watch = (target) => /^(chrome|devtools):/.test(target.url()) ? null : target.createCDPSession().then(async (session) => {
    session.on("Network.requestWillBeSent", (event) => requests.push(event.request.url));
    await session.send("Network.enable").catch(() => {});
  }).catch(() => {});
  if (!firefox) browser.on("targetcreated", watch);
  page = await browser.newPage();
  page.on("request", (request) => requests.push(request.url()));
  page.on("pageerror", (error) => pageErrors.push(String(error)));
  page.on("console", (message) => { if (message.type() === "error") pageErrors.push(message.text()); });
  if (!firefox) for (const target of browser.targets()) await watch(target);
  await page.goto(pageUrl, { waitUntil: "load" });
}

before(open);
after(() => browser && browser.close());

// Fills the form and runs; gives the page's time for the run, from the click to the results.
async function runInPage({ edition, file, seed, participants = "", items = "", exportName, groupSize }) {
  await page.click("input[name=edition][value=" + edition + "]");
  if (groupSize !== undefined) await page.$eval("#group-size", (element, text) => { element.value = text; }, String(groupSize));
  const input = await page.$("#file");
  await input.uploadFile(file);
  for (const [id, value] of [["seed", String(seed)], ["participants", participants], ["items", items], ["export-name", exportName]]) {
    await page.$eval("#" + id, (element, text) => { element.value = text; }, value);
  }
  const started = Date.now();
  await page.click("#run");
  await page.waitForFunction(() => !document.getElementById("run").disabled && document.getElementById("status-text").textContent !== "" ||
                                   document.querySelector("#messages .error") !== null, { timeout: 120000 });
  return Date.now() - started;
}

// The files behind the page's download links, name -> bytes.
async function downloads(list) {
  const files = await page.$$eval(list + " a", async (anchors) => {
    const files = {};
    for (const anchor of anchors) {
      files[anchor.download] = Array.from(new Uint8Array(await (await fetch(anchor.href)).arrayBuffer()));
    }
    return files;
  });
  for (const name of Object.keys(files)) files[name] = Buffer.from(files[name]);
  return files;
}

// Catches a page that gives other bytes than the program (another seed, the table's shape taken
// wrongly, a file left out of the downloads or of the zip).
for (const { edition, program } of editions) {
  test(edition + ": the sample picked in the page gives the program's reports, export files and zip", async () => {
    const exportName = "sample";
    const native = runNative(programsFolder, program, { data: sample, fileName: path.basename(samplePath), seed: 7, exportName, participants: 30, items: 20 });
    await runInPage({ edition, file: samplePath, seed: 7, exportName });
    assert.deepStrictEqual(await page.$eval("#messages", (e) => e.textContent), "", "messages");
    const files = Object.assign(await downloads("#report-links"), await downloads("#export-links"));
    assert.deepStrictEqual(differences(native.files, files), [], "differences of the downloads");

    const folder = temporaryFolder();
    const zipName = await page.$eval("#zip", (anchor) => anchor.download);
    const zipPath = path.join(folder, zipName);
    if (firefox) {
      const bytes = await page.$eval("#zip", async (anchor) => Array.from(new Uint8Array(await (await fetch(anchor.href)).arrayBuffer())));
      fs.writeFileSync(zipPath, Buffer.from(bytes));
    } else {
      const session = await page.target().createCDPSession();
      await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: folder });
      await page.click("#zip");
      for (let wait = 0; wait < 100 && !fs.existsSync(zipPath); ++wait) await new Promise((r) => setTimeout(r, 100));
    }
    const unpacked = path.join(folder, "unpacked");
    const unzip = childProcess.spawnSync("unzip", ["-q", zipPath, "-d", unpacked]);
    assert.deepStrictEqual(unzip.status, 0, "unzip of the downloaded " + zipName);
    const zipped = {};
    for (const name of fs.readdirSync(unpacked)) zipped[name] = fs.readFileSync(path.join(unpacked, name));
    assert.deepStrictEqual(differences(native.files, zipped), [], "differences of the zip");

    const shown = await page.$eval("#results", (e) => e.innerText);
    const overall = /Overall Mean: (\S+)\s+Overall Variance (\S+)/.exec(native.files["NG-1-Representative-MV-DIST.txt"].toString());
    assert.ok(shown.includes("Overall mean " + overall[1] + ", overall variance " + overall[2]), "the overall figures in " + shown);
    assert.ok(/MV best set \d+-\d+/.test(shown) && /DIST best set \d+-\d+/.test(shown), "the chosen sets in " + shown);
    const groups = await page.$$eval("#sets tbody tr", (rows) => rows.length);
    assert.deepStrictEqual(groups, 2 * Math.floor(30 / (editions.findIndex((e) => e.edition === edition) + 2)), "groups listed");
  });
}

// The rows of a CSV text as RFC 4180 has them: fields in double quotes may hold commas, line
// breaks and "" for a quote.
function csvRows(text) {
  const rows = [];
  let row = [];
  let field = "";
  let quoted = false;
  for (let at = 0; at < text.length; ++at) {
    const c = text[at];
    if (quoted) {
      if (c === "\"" && text[at + 1] === "\"") { field += "\""; ++at; } else if (c === "\"") quoted = false; else field += c;
    } else if (c === "\"") {
      quoted = true;
    } else if (c === ",") {
      row.push(field);
      field = "";
    } else if (c === "\r" && text[at + 1] === "\n") {
      row.push(field);
      rows.push(row);
      row = [];
      field = "";
      ++at;
    } else {
      field += c;
    }
  }
  return rows;
}

// Catches the groups table shifted by a label holding a comma or a quote ("Number correct" then
// showing a label), a label shown for another member, and a group of the other set.
test("labels with commas and quotes: the groups table as the program's groups file", async () => {
  const file = path.join(__dirname, "..", "..", "tests", "studies", "corpus", "pandas", "to_csv-participant-labels.csv");
  const native = runNative(programsFolder, "Quorvane-Triads", { data: fs.readFileSync(file), fileName: path.basename(file), seed: 3, exportName: "labels", participants: 40, items: 12 });
  await runInPage({ edition: "triads", file, seed: 3, exportName: "labels" });
  const rows = csvRows(native.files["labels-groups.csv"].toString());
  const header = rows[0];
  const expected = rows.slice(1).map((row) => {
    const field = (name) => row[header.indexOf(name)];
    const members = [1, 2, 3].map((slot) => field("member_" + slot) + " (" + field("label_" + slot) + ")");
    return [field("group"), members.join(", "), field("number_correct")];
  });
  assert.ok(expected.some((row) => row[1].includes("M\u00fcller, J\u00f6rg") || row[1].includes("\"Zo\"")), "labels with a comma or a quote in a chosen set");
  const shown = await page.$$eval("#sets tbody tr", (lines) => lines.map((line) => Array.from(line.cells, (cell) => cell.textContent)));
  assert.deepStrictEqual(shown, expected, "the groups shown");
});

// Catches a size typed in the page that does not reach the run, or larger groups in the
// editions' words: the files of Quorvane-Groups --group-size 5, and its name on the page.
test("groups of 5 in the page give Quorvane-Groups --group-size 5's files", async () => {
  const native = runNative(programsFolder, "Quorvane-Groups", { data: sample, fileName: path.basename(samplePath), seed: 7, exportName: "sample", participants: 30, items: 20, groupSize: 5 });
  await runInPage({ edition: "groups", groupSize: 5, file: samplePath, seed: 7, exportName: "sample" });
  assert.deepStrictEqual(await page.$eval("#messages", (e) => e.textContent), "", "messages");
  const files = Object.assign(await downloads("#report-links"), await downloads("#export-links"));
  assert.deepStrictEqual(differences(native.files, files), [], "differences of the downloads");
  assert.ok((await page.$eval("#run-line", (e) => e.textContent)).startsWith("Quorvane-Groups on "), "the program named");
  await runInPage({ edition: "groups", groupSize: 1, file: samplePath, seed: 7, exportName: "sample" });
  assert.match(await page.$eval("#messages .error", (e) => e.textContent), /^Quorvane-Groups: error: the group size must be a whole number from 2 to 5000; found '1'/);
});

// The example of the README: Quorvane-Triads --seed 7 on the sample, the numbers left to the table.
test("the numbers left empty: the table's shape, as typed", async () => {
  const native = runNative(programsFolder, "Quorvane-Triads", { data: sample, fileName: "sample-study.txt", seed: 7, participants: 30, items: 20 });
  await runInPage({ edition: "triads", file: samplePath, seed: 7, exportName: "sample" });
  const reports = await downloads("#report-links");
  assert.deepStrictEqual(Object.keys(reports).length, 8, "reports");
  for (const name of Object.keys(reports)) assert.ok(Buffer.from(reports[name]).equals(native.files[name]), name + " differs");
});

// Catches a refusal not shown, or shown in other words than the program's (but for its prompts,
// which are the page's fields).
test("a bad file: the program's error line on the page", async () => {
  const folder = temporaryFolder();
  const bad = path.join(folder, "bad.csv");
  fs.writeFileSync(bad, "1,0,1\n0,1,1\n");
  const native = runNative(programsFolder, "Quorvane-Pairs", { data: fs.readFileSync(bad), fileName: "bad.csv", seed: 1, participants: 4, items: 3 });
  await runInPage({ edition: "pairs", file: bad, seed: 1, participants: "4", items: "3", exportName: "bad" });
  const shown = await page.$eval("#messages .error", (e) => e.textContent);
  const said = linesOf(native.stderr, "Quorvane-Pairs", "error")[0];
  assert.ok(said.includes("type 2 and 3 at the prompts, or correct the file"), said);
  assert.deepStrictEqual(shown, "Quorvane-Pairs: error: " + said.replace("at the prompts",
    "in the fields Number of participants and Number of items (or leave them empty)"), "the error line");
  assert.deepStrictEqual(await page.$eval("#results", (e) => e.hidden), true, "results hidden");
});

// The page's time for a 100 x 100 study against the program's.
test("a 100 x 100 study in the page", async () => {
  const folder = temporaryFolder();
  const file = path.join(folder, "study.txt");
  fs.writeFileSync(file, madeUpStudy(100, 100, 19));
  const study = { data: fs.readFileSync(file), fileName: "study.txt", seed: 20261208, exportName: "study", participants: 100, items: 100 };
  const native = runNative(programsFolder, "Quorvane-Pairs", study);
  const times = [];
  for (let repetition = 0; repetition < 3; ++repetition) {
    times.push(await runInPage({ edition: "pairs", file, seed: 20261208, exportName: "study" }));
  }
  const files = Object.assign(await downloads("#report-links"), await downloads("#export-links"));
  assert.deepStrictEqual(differences(native.files, files), [], "differences");
  times.sort((a, b) => a - b);
  console.log("        Quorvane-Pairs 100 x 100: program " + native.milliseconds.toFixed(0) + " ms, the page " + times[1] +
              " ms (median of 3, from the click to the results, export and zip included)");
});

// The page's visible text of an element ("" when it or a parent is hidden).
const visibleText = (selector) => page.$eval(selector, (e) => (e.offsetParent === null ? "" : e.innerText));

// Catches a page that names no version or reference, or other ones than CITATION.cff's.
test("the version and how to cite, from CITATION.cff", async () => {
  const citation = fs.readFileSync(path.join(__dirname, "..", "..", "CITATION.cff"), "utf8");
  const version = /^version: "?([^"\n]+)"?$/m.exec(citation)[1];
  const title = /^title: "?([^"\n]+)"?$/m.exec(citation)[1];
  assert.ok((await visibleText("#version-line")).includes("Quorvane " + version), "the version line");
  const cite = await visibleText("#cite");
  assert.ok(cite.includes(title) && cite.includes("(Version " + version + ")"), "how to cite: " + cite);
});

// Catches the grey note on cumulative files shown before any run, and the results of an earlier
// run left on screen beside an error of a later one (a refused seed, no file).
test("no note before a run, and an error clears the results shown", async () => {
  await page.goto(pageUrl, { waitUntil: "load" });
  assert.deepStrictEqual(await visibleText(".cumulative"), "", "the note before a run");
  await runInPage({ edition: "pairs", file: samplePath, seed: 7, exportName: "s" });
  assert.ok((await visibleText(".cumulative")) !== "", "the note with the results");
  await page.$eval("#seed", (element) => { element.value = "x"; });
  await page.click("#run");
  // The refusal follows the module's naming of the program, a moment after the click.
  await page.waitForFunction(() => document.getElementById("messages").textContent.includes("the seed must be"),
                             { timeout: 5000 }).catch(() => {});
  assert.deepStrictEqual(await page.$eval("#results", (e) => e.hidden), true, "results after a refused seed");
  assert.ok((await page.$eval("#messages", (e) => e.textContent)).includes("the seed must be"), "the error");
});

// Catches an export name stuck to the first file chosen, a typed one overwritten, and a dropped
// file left beside another in the file field.
test("each new file names the export, until a name is typed", async () => {
  await page.goto(pageUrl, { waitUntil: "load" });
  const folder = temporaryFolder();
  const other = path.join(folder, "second-study.txt");
  fs.copyFileSync(samplePath, other);
  const input = await page.$("#file");
  await input.uploadFile(samplePath);
  assert.deepStrictEqual(await page.$eval("#export-name", (e) => e.value), "sample-study");
  await input.uploadFile(other);
  assert.deepStrictEqual(await page.$eval("#export-name", (e) => e.value), "second-study");
  await page.$eval("#drop", (drop) => {
    const files = new DataTransfer();
    files.items.add(new File(["1 0\n0 1\n"], "dropped.csv"));
    drop.dispatchEvent(new DragEvent("drop", { dataTransfer: files, bubbles: true, cancelable: true }));
  });
  assert.deepStrictEqual(await page.$eval("#export-name", (e) => e.value), "dropped");
  assert.deepStrictEqual(await page.$eval("#file", (e) => e.files.length), 0, "the file field after a drop");
  await page.focus("#export-name");
  await page.$eval("#export-name", (e) => { e.value = ""; });
  await page.keyboard.type("mine");
  await input.uploadFile(samplePath);
  assert.deepStrictEqual(await page.$eval("#export-name", (e) => e.value), "mine");
});

// Catches the seed's help naming Quorvane-Triads whatever the group size.
test("the seed's help names the program of the group size", async () => {
  await page.goto(pageUrl, { waitUntil: "load" });
  for (const { edition, program } of editions) {
    await page.click("input[name=edition][value=" + edition + "]");
    // The module names the program, so the help follows the click a moment later.
    await page.waitForFunction((name) => document.getElementById("seed-help").textContent.includes(name + " --seed"),
                               { timeout: 5000 }, program).catch(() => {});
    assert.ok((await visibleText("#seed-help")).includes(program + " --seed"), edition);
  }
});

// Catches a run that cannot be stopped, a count of sets that never moves, and a page that cannot
// run again after a stop, or only once the stopped run has finished (of 10,000 by 1,000, which
// takes the module about 14 s).
test("a long run shows its count and stops at once", async () => {
  await page.goto(pageUrl, { waitUntil: "load" });
  const folder = temporaryFolder();
  const file = path.join(folder, "large.txt");
  fs.writeFileSync(file, madeUpStudy(10000, 1000, 5));
  await page.click("input[name=edition][value=pairs]");
  await (await page.$("#file")).uploadFile(file);
  await page.$eval("#seed", (element) => { element.value = "3"; });
  await page.click("#run");
  await page.waitForFunction(() => /[1-9][0-9,]* of 10,000 sets/.test(document.getElementById("status-text").textContent),
                             { timeout: 60000 });
  const clicked = Date.now();
  await page.click("#stop");
  await page.waitForFunction(() => !document.getElementById("run").disabled, { timeout: 5000 });
  assert.ok(Date.now() - clicked < 2000, "stopped after " + (Date.now() - clicked) + " ms");
  assert.ok((await visibleText("#status-text")).startsWith("Stopped"), await visibleText("#status-text"));
  assert.deepStrictEqual(await page.$eval("#results", (e) => e.hidden), true, "results after a stop");
  const next = await runInPage({ edition: "pairs", file: samplePath, seed: 7, exportName: "again" });
  assert.deepStrictEqual(await page.$eval("#results", (e) => e.hidden), false, "a run after a stop");
  assert.ok(next < 5000, "the next run took " + next + " ms");
});

// Catches a caption that describes another picture than the one drawn, a methods paragraph not
// shown, and figure text under 12 CSS pixels on a phone 390 pixels wide.
test("the caption and methods of the run, and the figure legible on a phone", async () => {
  await page.setViewport({ width: 390, height: 844 });
  await page.goto(pageUrl, { waitUntil: "load" });
  await runInPage({ edition: "triads", file: samplePath, seed: 7, exportName: "phone" });
  const exported = await downloads("#export-links");
  const methods = exported["phone-methods.txt"].toString("utf8").trim().split("\n\n");
  assert.deepStrictEqual(await visibleText("#picture-caption"), methods[methods.length - 1], "the caption");
  assert.ok((await visibleText("#methods")).startsWith(methods[0]), "the methods paragraph");
  const svg = exported["phone.svg"].toString("utf8");
  const viewWidth = Number(/viewBox="0 0 ([0-9.]+)/.exec(svg)[1]);
  const smallest = Math.min(...Array.from(svg.matchAll(/font-size="([0-9.]+)"/g), (m) => Number(m[1])));
  const shown = await page.$eval("#picture", (e) => e.getBoundingClientRect().width);
  assert.ok(smallest * shown / viewWidth >= 12, "the smallest text is " + (smallest * shown / viewWidth).toFixed(1) + " px");
  await page.setViewport({ width: 800, height: 600 });
});

// Catches a control without a label, which a screen reader could not name.
test("every control has a label", async () => {
  const unlabelled = await page.$$eval("input, button", (controls) => controls
    .filter((c) => c.type !== "radio" && c.labels.length === 0 && c.tagName !== "BUTTON")
    .concat(controls.filter((c) => c.type === "radio" && c.closest("label") === null))
    .map((c) => c.id || c.name));
  assert.deepStrictEqual(unlabelled, [], "controls without a label");
});

// Catches any request that would take data off the computer.
test("no request but to file:, data: and blob:", async () => {
  assert.ok(requests.length > 0, "no request seen at all");
  assert.deepStrictEqual(requests.filter((url) => !/^(file|data|blob):/.test(url)), [], "requests elsewhere");
  assert.deepStrictEqual(pageErrors, [], "errors in the page");
});

