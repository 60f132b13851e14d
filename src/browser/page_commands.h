#pragma once

#include <QWebEnginePage>

class QString;
class QWidget;

namespace browser {

class AddressBox;
class BrowserEngine;
class FindBar;
enum class PageCommand;

// The menu commands that act on one window's page and address box. Each acts on its own
// window only and ignores failures: a failing step is skipped, nothing is shown.
class PageCommands {
 public:
  PageCommands(BrowserEngine& engine, AddressBox& box, FindBar* findBar)
      : m_engine(engine), m_box(box), m_findBar(findBar) {}

  // Name of the control that has the keyboard focus: "WebBrowser1", "txtURL", "FindBar"
  // or another control's object name; empty when the focus is in no control of the window.
  [[nodiscard]] QString activeControlName() const;

  void savePageAs();
  void print();
  void showPageSetup();
  void showPrintPreview();
  void showFileProperties();
  void setWorkOffline(bool checked);
  void undo();
  void cut();
  void copy();
  void paste();
  void selectAll();
  void find();
  void viewSource();
  void showHelp();

  // One level up or down from the engine's present one, within the five sizes.
  void stepTextSize(int delta);

 private:
  void focusAndRun(PageCommand command);
  void focusAndTrigger(QWebEnginePage::WebAction action);

  BrowserEngine& m_engine;
  AddressBox& m_box;
  FindBar* m_findBar;
};

}  // namespace browser
