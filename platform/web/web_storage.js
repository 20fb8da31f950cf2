// Before the game starts: the record folder is mounted on the browser's storage and its files read in, so
// the best record survives a reload. Where storage is refused the folder is plain memory.
Module.preRun = [].concat(Module.preRun || []);
Module.preRun.push(function() {
  var folder = '/user_data';
  Module.quillmarshStorage = false;
  try {
    FS.mkdir(folder);
  } catch (e) {
    // already there
  }
  if (typeof indexedDB === 'undefined') return;
  try {
    FS.mount(IDBFS, {}, folder);
  } catch (e) {
    return;
  }
  addRunDependency('quillmarsh-storage');
  try {
    FS.syncfs(true, function(error) {
      Module.quillmarshStorage = !error;
      if (error) console.warn('quillmarsh: no browser storage; the record lasts only until the page closes');
      removeRunDependency('quillmarsh-storage');
    });
  } catch (e) {
    removeRunDependency('quillmarsh-storage');
  }
});
