#pragma once

#include <optional>

class QString;
class QWidget;

namespace browser {

class AddressBox;
class BrowserEngine;
class FindBar;

// The menu commands that act on one window's page and address box. Each acts on its own
// window only and ignores failures: a failing step is skipped, nothing is shown.
class PageCommands {
 public:
  PageCommands(BrowserEngine& engine, AddressBox& box, const FindBar* findBar)
      : m_engine(engine), m_box(box), m_findBar(findBar) {}

  // Name of the control that has the keyboard focus: "WebBrowser1", "txtURL", "FindBar"
  // or another control's object name; empty when the focus is in no control of the window.
  [[nodiscard]] QString activeControlName() const;

  void mnuSavePageAs_Click();
  void mnuPrint_Click();
  void mnuPageSetup_Click();
  void mnuPrintPreview_Click();
  void mnuFileProperties_Click();
  void mnuWorkOffline_Click(bool checked);
  void mnuEditUndo_Click();
  void mnuEditCut_Click();
  void mnuEditCopy_Click();
  void mnuEditPaste_Click();
  void mnuEditSelAll_Click();
  void mnuEditFind_Click();
  void mnuViewSource_Click();
  void mnuHelp2_Click();

  // The engine's text size level, or nothing when it cannot tell.
  [[nodiscard]] std::optional<int> textSizeLevel() const;
  void mnuViewFontSize_Click(int Index);
  // One level up or down from the engine's present one, within the five sizes.
  void stepTextSize(int delta);

 private:
  void focusEngineAndExec(int cmdId);

  BrowserEngine& m_engine;
  AddressBox& m_box;
  const FindBar* m_findBar;
};

}  // namespace browser
