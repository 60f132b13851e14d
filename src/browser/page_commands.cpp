#include "browser/page_commands.h"

#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/find_bar.h"
#include "browser/start_page.h"

#include <QApplication>
#include <QKeyEvent>

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

void PageCommands::focusEngineAndExec(int cmdId) {
  m_engine.SetFocus();
  m_engine.ExecWB(cmdId, olecmdexecopt::DoDefault);
}

void PageCommands::savePageAs() {
  const QVariant zero(static_cast<short>(0));
  QVariant out(static_cast<short>(0));
  m_engine.ExecWB(olecmdid::SaveAs, olecmdexecopt::DoDefault, &zero, &out);
}

void PageCommands::print() { focusEngineAndExec(olecmdid::Print); }

void PageCommands::showPageSetup() { focusEngineAndExec(olecmdid::PageSetup); }

void PageCommands::showPrintPreview() { focusEngineAndExec(olecmdid::PrintPreview); }

void PageCommands::showFileProperties() {
  m_engine.ExecWB(olecmdid::Properties, olecmdexecopt::DoDefault);
}

void PageCommands::setWorkOffline(bool checked) { m_engine.setOffline(checked); }

void PageCommands::undo() {
  if (activeControlName() == QLatin1String("WebBrowser1")) {
    m_engine.ExecWB(olecmdid::Undo, olecmdexecopt::DoDefault);
  }
}

void PageCommands::cut() {
  const QString active = activeControlName();
  if (active == QLatin1String("WebBrowser1")) {
    m_engine.ExecWB(olecmdid::Cut, olecmdexecopt::DoDefault);
  } else if (active == QLatin1String("txtURL")) {
    m_box.cut();
  }
}

void PageCommands::copy() { focusEngineAndExec(olecmdid::Copy); }

void PageCommands::paste() { focusEngineAndExec(olecmdid::Paste); }

void PageCommands::selectAll() { focusEngineAndExec(olecmdid::SelectAll); }

void PageCommands::find() {
  m_engine.SetFocus();
  // Hand the page the find key, without waiting: the engine opens its own find bar.
  // Focus moves only once the event loop runs, so aim at the page itself.
  QWidget* view = m_engine.widget();
  QWidget* target = view->focusProxy() != nullptr ? view->focusProxy() : view;
  for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QCoreApplication::postEvent(
        target, new QKeyEvent(type, Qt::Key_F, Qt::ControlModifier, QStringLiteral("\x06")));
  }
}

void PageCommands::viewSource() {
  m_engine.Navigate(QStringLiteral("view-source:") + m_engine.LocationURL());
}

void PageCommands::showHelp() { m_engine.Navigate(currentStartPageAddress()); }

std::optional<int> PageCommands::textSizeLevel() const {
  QVariant level;
  if (!m_engine.ExecWB(olecmdid::Zoom, olecmdexecopt::DontPromptUser, nullptr, &level)) {
    return std::nullopt;
  }
  return level.toInt();
}

void PageCommands::setTextSize(int sizeIndex) {
  const QVariant level(sizeIndex);
  m_engine.ExecWB(olecmdid::Zoom, olecmdexecopt::DontPromptUser, &level);
  QCoreApplication::processEvents();
}

void PageCommands::stepTextSize(int delta) {
  const int level = textSizeLevel().value_or(kDefaultTextSizeLevel) + delta;
  if (level >= 0 && level < kTextSizeLevels) {
    setTextSize(level);
  }
}

}  // namespace browser
