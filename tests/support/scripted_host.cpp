#include "scripted_host.h"

namespace tessimar::testing {

void ScriptedHost::PumpMessages() {
  ++Pumps;
  if (auto it = actions_.find(Pumps); it != actions_.end()) it->second();
}

void ScriptedHost::SetCaption(Caption caption, const std::string& text) { Captions[caption].push_back(text); }

}  // namespace tessimar::testing
