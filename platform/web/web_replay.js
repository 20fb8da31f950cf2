// The page's replays: the session being played is kept in memory from the start (one line per change)
// for "Save replay", and a recording picked or dropped on the page is played from a fresh start, the
// page being reloaded with it, as the desktop game plays QUILLMARSH_REPLAY.
Module.preRun = [].concat(Module.preRun || []);
Module.preRun.push(function() {
  ENV.QUILLMARSH_RECORD = '/quillmarsh-session.txt';
  var chosen = null;
  try {
    chosen = JSON.parse(sessionStorage.getItem('quillmarsh-replay'));
    sessionStorage.removeItem('quillmarsh-replay');
  } catch (e) {
    chosen = null;
  }
  if (!chosen || typeof chosen.text !== 'string') return;
  // The file's own name, so a refusal names the file the player chose.
  var name = String(chosen.name || 'replay.txt').replace(/[\/\\]/g, '_');
  FS.writeFile('/' + name, chosen.text);
  ENV.QUILLMARSH_REPLAY = name;
  Module.quillmarshWatching = name;
});

// Downloads the session so far as a recording; false before the game has started one.
Module.quillmarshSaveReplay = function() {
  var text;
  try {
    text = FS.readFile('/quillmarsh-session.txt', {encoding: 'utf8'});
  } catch (e) {
    return false;
  }
  var link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
  link.download = 'quillmarsh-replay.txt';
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
  return true;
};

// Plays the recording in file (a File) from a fresh start of the page.
Module.quillmarshWatchReplay = function(file) {
  file.text().then(function(text) {
    try {
      sessionStorage.setItem('quillmarsh-replay', JSON.stringify({name: file.name, text: text}));
    } catch (e) {
      if (Module.quillmarshSay) Module.quillmarshSay('quillmarsh: cannot keep the replay ' + file.name +
                                                     ' for the page (' + e.name + ')', true);
      return;
    }
    location.reload();
  });
};
