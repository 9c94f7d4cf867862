// Helpers shared by the tests of the module and of the page: runs of the console programs in
// temporary folders, and made-up studies.
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const editions = [
  { edition: "pairs", program: "Quorvane-Pairs" },
  { edition: "triads", program: "Quorvane-Triads" },
  { edition: "quads", program: "Quorvane-Quads" },
];

// A new empty folder, removed with everything in it when the test ends.
const folders = [];
process.on("exit", () => {
  for (const folder of folders) fs.rmSync(folder, { recursive: true, force: true });
});
function temporaryFolder() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "quorvane-web-"));
  folders.push(folder);
  return folder;
}

// Runs a program in an empty folder on the study, answering the prompts with the file name and
// the numbers; gives the files it wrote there (name -> Buffer), its error stream and its status.
function runNative(programsFolder, program, { data, fileName, seed, exportName, participants, items, groupSize }) {
  const folder = temporaryFolder();
  fs.writeFileSync(path.join(folder, fileName), data);
  // Quorvane-Groups takes the size of its groups.
  const args = groupSize === undefined ? [] : ["--group-size", String(groupSize)];
  args.push("--seed", String(seed));
  if (exportName !== undefined) args.push("--export", exportName);
  const started = process.hrtime.bigint();
  const run = childProcess.spawnSync(path.resolve(programsFolder, program), args, {
    cwd: folder,
    input: fileName + "\n" + participants + "\n" + items + "\n",
  });
  const milliseconds = Number(process.hrtime.bigint() - started) / 1e6;
  const files = {};
  for (const name of fs.readdirSync(folder)) {
    if (name !== fileName) files[name] = fs.readFileSync(path.join(folder, name));
  }
  return { files, stderr: run.stderr.toString("utf8"), status: run.status, milliseconds };
}

// The lines of a program's error stream after "<program>: <kind>: ".
function linesOf(stderr, program, kind) {
  const prefix = program + ": " + kind + ": ";
  return stderr.split("\n").filter((line) => line.startsWith(prefix)).map((line) => line.slice(prefix.length));
}

// A made-up study as a data file, one participant per line: each participant answers each item
// correctly with a probability of their own, from a fixed-seed generator.
function madeUpStudy(participants, items, seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
    return state / 4294967296;
  };
  const lines = [];
  for (let p = 0; p < participants; ++p) {
    const ability = 0.2 + 0.6 * next();
    const row = [];
    for (let i = 0; i < items; ++i) row.push(next() < ability ? 1 : 0);
    lines.push(row.join(" "));
  }
  return lines.join("\n") + "\n";
}

// The differences between what a program wrote and what the module gave (name -> text).
function differences(nativeFiles, texts) {
  const problems = [];
  const names = new Set([...Object.keys(nativeFiles), ...Object.keys(texts)]);
  for (const name of names) {
    if (!(name in nativeFiles)) problems.push(name + ": not written by the program");
    else if (!(name in texts)) problems.push(name + ": missing");
    else if (!Buffer.from(texts[name], "utf8").equals(nativeFiles[name])) problems.push(name + ": differs");
  }
  return problems;
}

module.exports = { editions, temporaryFolder, runNative, linesOf, madeUpStudy, differences };
