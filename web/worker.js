// The page's worker: runs one study at a time with the module's API (quorvane.js, loaded before
// this script in the same worker) and posts its outcome back.
self.onmessage = (event) => {
  const { id, options, programName } = event.data;
  if (programName !== undefined) {
    self.quorvane.programName(programName).then(
      (result) => self.postMessage({ id, result }),
      (error) => self.postMessage({ id, error: error instanceof Error ? error.message : String(error) }));
    return;
  }
  self.postMessage({ id, phase: "computing" });
  const onProgress = (sets) => self.postMessage({ id, phase: "sets", sets });
  self.quorvane.run(Object.assign({}, options, { onProgress })).then(
    (result) => self.postMessage({ id, result }),
    (error) => self.postMessage({ id, error: error instanceof Error ? error.message : String(error) }));
};
