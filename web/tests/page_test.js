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

// The files behind the page's download links, name -> text.
function downloads(list) {
  return page.$$eval(list + " a", async (anchors) => {
    const files = {};
    for (const anchor of anchors) files[anchor.download] = await (await fetch(anchor.href)).text();
    return files;
  });
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
    for (const name of fs.readdirSync(unpacked)) zipped[name] = fs.readFileSync(path.join(unpacked, name), "utf8");
    assert.deepStrictEqual(differences(native.files, zipped), [], "differences of the zip");

    const shown = await page.$eval("#results", (e) => e.innerText);
    const overall = /Overall Mean: (\S+)\s+Overall Variance (\S+)/.exec(native.files["NG-1-Representative-MV-DIST.txt"].toString());
    assert.ok(shown.includes("Overall mean " + overall[1] + ", overall variance " + overall[2]), "the overall figures in " + shown);
    assert.ok(/MV best set \d+-\d+/.test(shown) && /DIST best set \d+-\d+/.test(shown), "the chosen sets in " + shown);
    const groups = await page.$$eval("#sets tbody tr", (rows) => rows.length);
    assert.deepStrictEqual(groups, 2 * Math.floor(30 / (editions.findIndex((e) => e.edition === edition) + 2)), "groups listed");
  });
}

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

// Catches a refusal not shown, or shown in other words than the program's.
test("a bad file: the program's error line on the page", async () => {
  const folder = temporaryFolder();
  const bad = path.join(folder, "bad.csv");
  fs.writeFileSync(bad, "1,0,1\n0,1,1\n");
  const native = runNative(programsFolder, "Quorvane-Pairs", { data: fs.readFileSync(bad), fileName: "bad.csv", seed: 1, participants: 4, items: 3 });
  await runInPage({ edition: "pairs", file: bad, seed: 1, participants: "4", items: "3", exportName: "bad" });
  const shown = await page.$eval("#messages .error", (e) => e.textContent);
  assert.deepStrictEqual(shown, "Quorvane-Pairs: error: " + linesOf(native.stderr, "Quorvane-Pairs", "error")[0], "the error line");
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

