// A minimal test runner for the web tests: named checks, each failure reported, a non-zero exit
// when any failed.
"use strict";

const checks = [];
function check(name, body) {
  checks.push({ name, body });
}

async function runChecks() {
  let failed = 0;
  for (const { name, body } of checks) {
    try {
      await body();
      console.log("ok      " + name);
    } catch (error) {
      ++failed;
      console.log("FAILED  " + name + "\n        " + String(error && error.stack ? error.stack : error).replace(/\n/g, "\n        "));
    }
  }
  console.log(checks.length - failed + " of " + checks.length + " checks passed");
  if (failed > 0) process.exitCode = 1;
}

function expect(condition, message) {
  if (!condition) throw new Error(message);
}

function expectEqual(actual, expected, what) {
  const a = JSON.stringify(actual);
  const e = JSON.stringify(expected);
  if (a !== e) throw new Error(what + ": got " + a + ", expected " + e);
}

module.exports = { check, runChecks, expect, expectEqual };
