#include "browser/find_bar.h"

#include "browser/webengine_browser.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace browser {

FindBar::FindBar(WebEngineBrowser& engine)
    : QWidget(engine.view()),
      m_view(engine.view()),
      m_text(new QLineEdit(this)),
      m_matches(new QLabel(this)) {
  setObjectName(QStringLiteral("FindBar"));
  setAccessibleName(tr("Find on this page"));
  setAutoFillBackground(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 3, 3, 3);
  row->setSpacing(3);
  m_text->setAccessibleName(tr("Find"));
  m_text->setPlaceholderText(tr("Find on this page"));
  m_text->setClearButtonEnabled(true);
  m_matches->setAccessibleName(tr("Matches"));
  m_matches->setMinimumWidth(80);
  const auto makeButton = [this, row](const QString& text, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setAutoRaise(true);
    row->addWidget(b);
    return b;
  };
  row->addWidget(m_text, 1);
  row->addWidget(m_matches);
  connect(makeButton(QStringLiteral("\u25b2"), tr("Previous")), &QToolButton::clicked, this,
          &FindBar::findPrevious);
  connect(makeButton(QStringLiteral("\u25bc"), tr("Next")), &QToolButton::clicked, this,
          &FindBar::findNext);
  connect(makeButton(QStringLiteral("\u2715"), tr("Close")), &QToolButton::clicked, this, [this] {
    hide();
    m_view->page()->findText(QString());
    m_view->setFocus();
  });
  connect(m_text, &QLineEdit::textChanged, this, [this] { search(false); });
  m_text->installEventFilter(this);
  m_view->installEventFilter(this);
  hide();
}

void FindBar::open() {
  place();
  show();
  raise();
  m_text->setFocus(Qt::ShortcutFocusReason);
  m_text->selectAll();
  if (!m_text->text().isEmpty()) {
    search(false);
  }
}

void FindBar::findNext() { search(false); }

void FindBar::findPrevious() { search(true); }

QString FindBar::matchText() const { return m_matches->text(); }

void FindBar::search(bool backward) {
  const QString text = m_text->text();
  if (text.isEmpty()) {
    m_matches->clear();
    m_view->page()->findText(QString());
    return;
  }
  const QWebEnginePage::FindFlags flags =
      backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
  QPointer<QLabel> label = m_matches;
  m_view->page()->findText(text, flags, [label](const QWebEngineFindTextResult& result) {
    if (label.isNull()) {
      return;
    }
    label->setText(result.numberOfMatches() == 0
                       ? tr("No matches")
                       : tr("%1 of %2").arg(result.activeMatch()).arg(result.numberOfMatches()));
  });
}

void FindBar::place() {
  const int width = qMin(360, m_view->width());
  const QSize hint = sizeHint();
  setGeometry(m_view->width() - width, 0, width, hint.height());
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_view && event->type() == QEvent::Resize && isVisible()) {
    place();
  }
  if (watched != m_text ||
      (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (event->type() == QEvent::ShortcutOverride) {
    // Escape closes the bar rather than stopping the page.
    if (key->key() == Qt::Key_Escape) {
      event->accept();
    }
    return false;
  }
  if (key->key() == Qt::Key_Escape) {
    hide();
    m_view->page()->findText(QString());
    m_view->setFocus();
    return true;
  }
  if (enter) {
    search(key->modifiers().testFlag(Qt::ShiftModifier));
    return true;
  }
  return false;
}

}  // namespace browser
