#include "browser/browser_engine.h"

namespace browser {

bool BrowserEngine::invoke(DispId id) {
  switch (id) {
    case DispId::GoBack:
      return GoBack();
    case DispId::GoForward:
      return GoForward();
    case DispId::GoHome:
      GoHome();
      return true;
    case DispId::GoSearch:
      GoSearch();
      return true;
    case DispId::Stop:
      Stop();
      return true;
    case DispId::Refresh:
      Refresh();
      return true;
    default:
      return false;
  }
}

}  // namespace browser
