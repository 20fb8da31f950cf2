// The record folder kept in the browser's own storage (IndexedDB): read in before the game starts by the
// page's start-up script, and written back whenever the game has replaced a file in it.
#include <emscripten.h>

#include "platform/web/web_backend.h"

namespace {
EM_JS(void, WebStorageWriteBack, (), {
    // Refused or unavailable storage: the record lives on in memory for this visit.
    if (!Module.quillmarshStorage) return;
    // One copy at a time; a save made during one is copied by the next.
    if (Module.quillmarshStorageBusy) {
        Module.quillmarshStorageAgain = true;
        return;
    }
    Module.quillmarshStorageBusy = true;
    var copy = function() {
        FS.syncfs(
            false, function(error) {
                if (error) console.warn('quillmarsh: the record could not be kept in the browser storage');
                if (Module.quillmarshStorageAgain) {
                    Module.quillmarshStorageAgain = false;
                    copy();
                    return;
                }
                Module.quillmarshStorageBusy = false;
                Module.quillmarshStorageWrites = (Module.quillmarshStorageWrites || 0) + 1;
            });
    };
    copy();
});
} // namespace

void WebStorageFileWritten(const char*) {
    WebStorageWriteBack();
}
