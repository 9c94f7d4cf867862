// The JavaScript module against the console programs: the same reports, export files, notes and
// refusals for the same study and seed. Usage: node api_test.js QUORVANE_JS PROGRAMS_FOLDER SAMPLE
"use strict";

const fs = require("fs");
const path = require("path");
const assert = require("node:assert");
const { test } = require("node:test");
const { editions, runNative, linesOf, madeUpStudy, differences } = require("./native_program");

const [modulePath, programsFolder, samplePath] = process.argv.slice(2);
const quorvane = require(path.resolve(modulePath));
const sample = fs.readFileSync(samplePath);

// The texts of a module run as files: reports and exports together.
function filesOf(result) {
  return Object.assign({}, result.reports, result.exports);
}

// Catches any report or export byte that the module renders differently from the programs (a
// double written in another form, a heading of the wrong edition, a file left out).
for (const { edition, program } of editions) {
  test(edition + ": the sample study gives the program's reports and export files", async () => {
    const study = { data: sample, fileName: "sample-study.txt", seed: 7, exportName: "sample", participants: 30, items: 20 };
    const native = runNative(programsFolder, program, study);
    assert.deepStrictEqual(native.status, 0, "the program's exit status");
    const result = await quorvane.run(Object.assign({ edition }, study));
    assert.deepStrictEqual(Object.keys(result.reports).length, 8, "reports");
    assert.deepStrictEqual(Object.keys(result.exports).length, 8, "export files");
    assert.ok(result.exports["sample.xlsx"] instanceof Uint8Array, "the workbook as bytes");
    assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
    assert.deepStrictEqual(result.notes, linesOf(native.stderr, program, "note"), "notes");
    // The run's values as the program's summary writes them (the shortest text of each double).
    const summary = native.files["sample-summary.csv"].toString().split("\r\n")[1].split(",");
    assert.deepStrictEqual([result.run.participants, result.run.items, result.run.seed], [30, 20, 7], "the study's size and seed");
    assert.deepStrictEqual([String(result.run.overallMean), String(result.run.overallVariance)], [summary[6], summary[7]], "the overall figures");
    assert.deepStrictEqual(result.run.mv.row + "-" + result.run.mv.column, summary[10], "the MV set");
    assert.deepStrictEqual(result.run.dist.groups.length, Math.floor(30 / result.run.groupSize), "the DIST set's groups");
  });
}

// Catches a group size not passed to the module, larger groups in the editions' words, and a
// size of 2 to 4 that is not its edition: groupSize gives Quorvane-Groups --group-size K's files.
for (const groupSize of [3, 5, 8]) {
  test("groupSize " + groupSize + " gives Quorvane-Groups --group-size " + groupSize + "'s files", async () => {
    const study = { data: sample, fileName: "sample-study.txt", seed: 7, exportName: "sample", participants: 30, items: 20, groupSize };
    const native = runNative(programsFolder, "Quorvane-Groups", study);
    assert.deepStrictEqual(native.status, 0, "the program's exit status");
    const result = await quorvane.run(study);
    assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
    assert.deepStrictEqual(result.notes, linesOf(native.stderr, result.programName, "note"), "notes");
    assert.deepStrictEqual(result.programName, groupSize === 3 ? "Quorvane-Triads" : "Quorvane-Groups");
    assert.deepStrictEqual(await quorvane.programName(groupSize), result.programName);
  });
}

// Catches a size too large for the study refused otherwise than the program refuses it.
test("groupSize above half the participants is refused as the program refuses it", async () => {
  const study = { data: sample, fileName: "sample-study.txt", seed: 7, participants: 30, items: 20, groupSize: 16 };
  const native = runNative(programsFolder, "Quorvane-Groups", study);
  assert.deepStrictEqual(native.status, 1, "the program's exit status");
  await assert.rejects(quorvane.run(study), { message: linesOf(native.stderr, "Quorvane-Groups", "error")[0] });
});

// Catches a seed passed wrongly past 2^31 (as a signed number) or cut to fewer bits.
for (const seed of [0, 1, 2147483648, 4294967295]) {
  test("seed " + seed + " gives the program's reports", async () => {
    const study = { data: sample, fileName: "sample-study.txt", seed, participants: 30, items: 20 };
    const native = runNative(programsFolder, "Quorvane-Pairs", study);
    const result = await quorvane.run(Object.assign({ edition: "pairs" }, study));
    assert.deepStrictEqual(Object.keys(result.exports), [], "export files without an export name");
    assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
  });
}

// Catches progress that is not reported, reported out of order, or that changes the run.
test("onProgress hears the sets scored, in order, up to 10,000", async () => {
  const study = { edition: "pairs", data: sample, fileName: "s.txt", seed: 4, participants: 30, items: 20 };
  const heard = [];
  const result = await quorvane.run(Object.assign({ onProgress: (sets) => heard.push(sets) }, study));
  assert.ok(heard.length >= 10, "heard " + heard.length + " times");
  assert.ok(heard.every((sets, i) => i === 0 || sets > heard[i - 1]), "in order: " + heard.join(","));
  assert.deepStrictEqual(heard[heard.length - 1], 10000, "the last");
  assert.deepStrictEqual(result.reports, (await quorvane.run(study)).reports, "the same reports");
});

// Catches a table shape counted wrongly (a CR LF taken as two line ends, a blank line counted).
test("without the numbers, the table's shape is the study", async () => {
  const text = "\r\n" + sample.toString("latin1").split("\n").join("\r\n") + "\n\n";
  const withShape = await quorvane.run({ edition: "triads", data: text, fileName: "s.txt", seed: 11 });
  const typed = await quorvane.run({ edition: "triads", data: sample, fileName: "s.txt", seed: 11, participants: 30, items: 20 });
  assert.deepStrictEqual(withShape.reports, typed.reports, "reports");
});

// A made-up study of 100 by 100 (99 for triads, so that every group is full): the same files, and
// a run (the reports alone, as a run without --export) in at most 3 times the program's wall time.
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const { edition, program } of editions) {
  test(edition + ": a 100 x 100 study gives the program's files, in at most 3 times its time", async () => {
    const participants = edition === "triads" ? 99 : 100;
    const study = { data: madeUpStudy(participants, 100, 19), fileName: "study.txt", seed: 20261208, participants, items: 100 };
    const exported = Object.assign({ exportName: "study" }, study);
    const native = runNative(programsFolder, program, exported);
    const result = await quorvane.run(Object.assign({ edition }, exported));
    assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
    const times = { program: [], module: [], programExport: [], moduleExport: [] };
    for (let repetition = 0; repetition < 5; ++repetition) {
      for (const [options, programTimes, moduleTimes] of [[study, times.program, times.module], [exported, times.programExport, times.moduleExport]]) {
        programTimes.push(runNative(programsFolder, program, options).milliseconds);
        const started = process.hrtime.bigint();
        await quorvane.run(Object.assign({ edition }, options));
        moduleTimes.push(Number(process.hrtime.bigint() - started) / 1e6);
      }
    }
    const ratio = median(times.module) / median(times.program);
    const exportRatio = median(times.moduleExport) / median(times.programExport);
    console.log("        " + program + " " + participants + " x 100 (medians of 5): program " + median(times.program).toFixed(1) +
                " ms, module in Node " + median(times.module).toFixed(1) + " ms, ratio " + ratio.toFixed(2) +
                "; with the export " + median(times.programExport).toFixed(1) + " ms and " +
                median(times.moduleExport).toFixed(1) + " ms, ratio " + exportRatio.toFixed(2));
    assert.ok(ratio <= 3, "the module took " + ratio.toFixed(2) + " times the program's time");
  });
}

// Catches a scoring kernel that miscounts masks of more than two words (over 128 items): a piece
// of a block of eight words left out, the zeros past the items counted, the second of two groups
// scored together given the first one's members, or the last of an odd number of groups left out.
// Every group's count goes into the reports' sums of the sets.
for (const items of [129, 200, 512, 513, 1000]) {
  test(items + " items: groups of 2 to 4 give the programs' reports", async () => {
    const participants = 31;
    for (const { edition, program } of editions) {
      const study = { data: madeUpStudy(participants, items, items), fileName: "wide.txt", seed: 29, participants, items };
      const native = runNative(programsFolder, program, study);
      assert.deepStrictEqual(native.status, 0, "the program's exit status");
      const result = await quorvane.run(Object.assign({ edition }, study));
      assert.deepStrictEqual(differences(native.files, filesOf(result)), [], edition + " differences");
    }
  });
}

// Catches a refusal worded otherwise than the program words it, or a refused run that still
// gives reports.
const refusals = [
  { what: "a letter among the responses", data: "1 0 1\n0 x 1\n", participants: 6, items: 3 },
  { what: "too few responses", data: "1 0 1\n0 1 1\n", participants: 6, items: 3 },
  { what: "commas between responses", data: "1,0,1\n0,1,1\n", participants: 6, items: 3 },
  { what: "UTF-16 without a byte-order mark", data: "1\u0000 \u00000\u0000\n\u0000", participants: 6, items: 3 },
  { what: "too few participants", data: sample, participants: 5, items: 20 },
  { what: "items not a number", data: sample, participants: 30, items: "twenty" },
  { what: "too many items", data: sample, participants: 30, items: 10001 },
];
for (const { what, data, participants, items } of refusals) {
  test("refused as the program refuses it: " + what, async () => {
    const study = { data, fileName: "bad.txt", seed: 3, participants, items };
    const native = runNative(programsFolder, "Quorvane-Triads", study);
    assert.deepStrictEqual(native.status, 1, "the program's exit status");
    const expected = linesOf(native.stderr, "Quorvane-Triads", "error");
    assert.deepStrictEqual(expected.length, 1, "the program's error lines");
    let message = null;
    try {
      await quorvane.run(Object.assign({ edition: "triads" }, study));
    } catch (error) {
      assert.ok(error instanceof Error, "rejected with an Error");
      message = error.message;
    }
    assert.deepStrictEqual(message, expected[0], "the message");
  });
}

// Catches notes lost or reworded: responses other than 0 and 1, and values after the responses.
test("notes as the program gives them", async () => {
  const data = "1 0 2\n0 1 1\n1 1 1\n0 7 1\n1 0 0\n0 1 0\n1 1\n";
  const study = { data, fileName: "notes.txt", seed: 5, participants: 6, items: 3 };
  const native = runNative(programsFolder, "Quorvane-Pairs", study);
  const result = await quorvane.run(Object.assign({ edition: "pairs" }, study));
  const notes = linesOf(native.stderr, "Quorvane-Pairs", "note");
  assert.deepStrictEqual(notes.length, 2, "the program's notes");
  assert.deepStrictEqual(result.notes, notes, "notes");
  assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
});

// Catches a search without a best set that is not said as the program says it.
test("a study without variance: the notes of both searches", async () => {
  const data = "1 1\n1 1\n1 1\n1 1\n";
  const study = { data, fileName: "alike.txt", seed: 9, participants: 4, items: 2 };
  const native = runNative(programsFolder, "Quorvane-Pairs", study);
  const result = await quorvane.run(Object.assign({ edition: "pairs" }, study));
  assert.deepStrictEqual(result.notes, linesOf(native.stderr, "Quorvane-Pairs", "note"), "notes");
  assert.deepStrictEqual(differences(native.files, filesOf(result)), [], "differences");
});

// Catches options taken without checking (an edition that is not one, a seed out of range or not
// whole, data that are neither bytes nor text, an export name with a line break).
const badOptions = [
  [{ edition: "quintets" }, /^the edition must be "pairs", "triads" or "quads" \(or give groupSize instead\); found 'quintets'$/],
  [{ edition: undefined, groupSize: 1 }, /^the group size must be a whole number from 2 to 5000; found '1'$/],
  [{ edition: undefined, groupSize: 5001 }, /^the group size must be a whole number from 2 to 5000; found '5001'$/],
  [{ edition: undefined, groupSize: 2.5 }, /^the group size must be/],
  [{ edition: undefined, groupSize: "5" }, /^the group size must be/],
  [{ groupSize: 4 }, /^the edition 'triads' has groups of 3, not '4'/],
  [{ seed: -1 }, /^the seed must be a whole number from 0 to 4294967295; found '-1'$/],
  [{ seed: 4294967296 }, /^the seed must be/],
  [{ seed: 1.5 }, /^the seed must be/],
  [{ seed: "7" }, /^the seed must be/],
  [{ data: 12 }, /^the data must be the file's bytes/],
  [{ exportName: "a\nb" }, /holds a control character/],
  [{ exportName: "" }, /^the export name is empty/],
  [{ participants: {} }, /^participants must be a number/],
];
for (const [change, pattern] of badOptions) {
  test("refuses " + JSON.stringify(change), async () => {
    const options = Object.assign({ edition: "triads", data: sample, seed: 1, fileName: "s.txt" }, change);
    let message = null;
    try {
      await quorvane.run(options);
    } catch (error) {
      message = error.message;
    }
    assert.ok(message !== null && pattern.test(message), "message " + JSON.stringify(message));
  });
}

