// The page's zip writer against Info-ZIP's unzip: every file back with its bytes and name, every
// CRC-32 right. Usage: node zip_test.js
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const path = require("path");
const assert = require("node:assert");
const { test } = require("node:test");
const { temporaryFolder } = require("./native_program");
const { makeZip, crc32 } = require("../zip.js");

// unzip takes names marked as UTF-8 as such only in a UTF-8 locale.
const env = Object.assign({}, process.env, { LC_ALL: "C.UTF-8" });

// Would catch a wrong polynomial, a missing final inversion or a sign bit left set.
test("CRC-32 of the standard check values", () => {
  const encoder = new TextEncoder();
  assert.deepStrictEqual(crc32(encoder.encode("123456789")), 0xcbf43926, "crc of 123456789");
  assert.deepStrictEqual(crc32(new Uint8Array(0)), 0, "crc of nothing");
  assert.deepStrictEqual(crc32(new Uint8Array([0xff])), 0xff000000, "crc of 0xFF");
});

// Would catch an offset, a size or a count written wrong in any header, a name not marked as
// UTF-8, or the central directory out of place: each is an error of unzip -t or other bytes back.
const cases = [
  [],
  [{ name: "empty.txt", bytes: "" }],
  [{ name: "NG-1-Representative-MV-DIST.txt", bytes: "\nQuorvane-Triads -- Ardevine.\n\n" }],
  [{ name: "a.csv", bytes: "x,y\r\n1,2\r\n" }, { name: "研究-結果.svg", bytes: "<svg/>" },
   { name: "b.bin", bytes: new Uint8Array(70000).map((_, i) => (i * 7919) & 0xff) }],
];
for (const files of cases) {
  test("unzip reads back " + files.length + " files", () => {
    const folder = temporaryFolder();
    const archive = path.join(folder, "all.zip");
    fs.writeFileSync(archive, makeZip(files, new Date(2026, 11, 8, 9, 30, 14)));
    const tested = childProcess.spawnSync("unzip", ["-t", archive], { encoding: "utf8", env });
    assert.deepStrictEqual(tested.status, files.length === 0 ? 1 : 0, "unzip -t status (" + tested.stdout + tested.stderr + ")");
    if (files.length === 0) return;  // unzip calls an empty archive a warning
    const out = path.join(folder, "out");
    const unpacked = childProcess.spawnSync("unzip", ["-q", archive, "-d", out], { encoding: "utf8", env });
    assert.deepStrictEqual(unpacked.status, 0, "unzip status (" + unpacked.stderr + ")");
    assert.deepStrictEqual(fs.readdirSync(out).sort(), files.map((f) => f.name).sort(), "names");
    for (const file of files) {
      const expected = Buffer.from(typeof file.bytes === "string" ? Buffer.from(file.bytes, "utf8") : file.bytes);
      assert.deepStrictEqual(fs.readFileSync(path.join(out, file.name)).equals(expected), true, file.name + " bytes");
    }
    // Python's zipfile takes a name as UTF-8 only when the archive flags it so, as Windows does.
    const python = childProcess.spawnSync("python3", ["-c",
      "import sys, zipfile; print('\\n'.join(i.filename for i in zipfile.ZipFile(sys.argv[1]).infolist()))", archive],
      { encoding: "utf8", env });
    assert.deepStrictEqual(python.stdout.trim().split("\n"), files.map((f) => f.name), "names read by Python (" + python.stderr + ")");
    const listing = childProcess.spawnSync("unzip", ["-l", archive], { encoding: "utf8", env }).stdout;
    assert.deepStrictEqual(/2026-12-08 09:30/.test(listing), true, "date and time in " + listing);
  });
}

