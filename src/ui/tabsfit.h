#pragma once

class QTabWidget;

namespace vartemo {

// Keeps every visible tab caption of the tab widget whole and in sight
// within room pixels: no elision and no scroll buttons; when the captions at
// the window's font and the style's spacing are wider than the room, the
// spacing narrows to half a character each side and then the captions' font
// steps down until they fit. Call again after tabs are shown or hidden.
void FitTabs(QTabWidget& tabs, int room);

} // namespace vartemo
