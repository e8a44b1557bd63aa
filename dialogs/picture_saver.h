// The document's save of its picture once the dialogs are done: the
// refusals of formats the picture cannot take, the GIF options chosen in
// Save As, and the write through the save-format table.
#pragma once

#include "dialogs/save_flows.h"

namespace quillon {

class CImageObject;

// Refusals are shown with the information icon; a failed write is reported
// through the error reporter (the flow then adds message 5025). The old file
// stays when the write fails.
SaveResult saveDocumentPicture(CImageObject& picture, const SaveChoice& choice, UiPort& ui);

// A saver for the flows that saves that picture.
PictureSaver pictureSaverFor(CImageObject& picture, UiPort& ui);

}  // namespace quillon
