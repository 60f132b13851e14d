#include "browser/page_commands.h"

#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/find_bar.h"
#include "browser/start_page.h"

#include <QApplication>

namespace browser {

namespace {

bool within(const QWidget* focus, const QWidget* control) {
  return control != nullptr && (focus == control || control->isAncestorOf(focus));
}

}  // namespace

QString PageCommands::activeControlName() const {
  const QWidget* focus = QApplication::focusWidget();
  QWidget* view = m_engine.widget();
  if (focus == nullptr || focus->window() != view->window()) {
    return {};
  }
  // The find bar lies over the page; its field is not the page.
  if (within(focus, m_findBar)) {
    return QStringLiteral("FindBar");
  }
  if (within(focus, view)) {
    return QStringLiteral("WebBrowser1");
  }
  if (within(focus, &m_box)) {
    return QStringLiteral("txtURL");
  }
  return focus->objectName();
}

void PageCommands::focusAndRun(PageCommand command) {
  m_engine.focusPage();
  m_engine.run(command);
}

void PageCommands::focusAndTrigger(QWebEnginePage::WebAction action) {
  m_engine.focusPage();
  m_engine.triggerAction(action);
}

void PageCommands::savePageAs() { m_engine.run(PageCommand::SaveAs); }

void PageCommands::print() { focusAndRun(PageCommand::Print); }

void PageCommands::showPageSetup() { focusAndRun(PageCommand::PageSetup); }

void PageCommands::showPrintPreview() { focusAndRun(PageCommand::PrintPreview); }

void PageCommands::showFileProperties() { m_engine.run(PageCommand::Properties); }

void PageCommands::setWorkOffline(bool checked) { m_engine.setOffline(checked); }

void PageCommands::undo() {
  if (activeControlName() == QLatin1String("WebBrowser1")) {
    m_engine.triggerAction(QWebEnginePage::Undo);
  }
}

void PageCommands::cut() {
  const QString active = activeControlName();
  if (active == QLatin1String("WebBrowser1")) {
    m_engine.triggerAction(QWebEnginePage::Cut);
  } else if (active == QLatin1String("txtURL")) {
    m_box.cut();
  }
}

void PageCommands::copy() { focusAndTrigger(QWebEnginePage::Copy); }

void PageCommands::paste() { focusAndTrigger(QWebEnginePage::Paste); }

void PageCommands::selectAll() { focusAndTrigger(QWebEnginePage::SelectAll); }

void PageCommands::find() {
  m_engine.focusPage();
  if (m_findBar != nullptr) {
    m_findBar->open();
  }
}

void PageCommands::viewSource() { m_engine.load(QStringLiteral("view-source:") + m_engine.url()); }

void PageCommands::showHelp() { m_engine.load(currentStartPageAddress()); }

void PageCommands::stepTextSize(int delta) { m_engine.setTextSize(m_engine.textSize() + delta); }

}  // namespace browser
