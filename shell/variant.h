// Which of the two programs is running: the browser-engine build or the basic one.
#pragma once

namespace vardel {

// `ondravia` shows articles in the browser control and keeps the light viewer hidden for the
// editor; `ondravia-basic` shows them in the light viewer itself.
enum class Variant { WebBrowser, Basic };

}  // namespace vardel
