#pragma once
// One engine filling its own shown window, as a browser window hosts it.

#include "browser/webengine_browser.h"
#include "support/page.h"
#include "support/x_probe.h"

#include <gtest/gtest.h>
#include <QVBoxLayout>
#include <QWidget>

namespace testsupport {

struct EngineWindow {
  EngineWindow() : engine(new browser::WebEngineBrowser(&window)) {
    (new QVBoxLayout(&window))->addWidget(engine->widget());
    window.resize(800, 600);
    window.show();
  }
  bool go(const QString& address) {
    return load(engine->page(), [&] { engine->load(address); });
  }
  QVariant js(const QString& script) const { return runJs(engine->page(), script); }
  [[nodiscard]] QString text() const { return js("document.documentElement.innerText").toString(); }
  // A left click through XTest on the element with this id, as a hand makes it.
  void click(const QString& id) const {
    const QVariantList at =
        js(QStringLiteral("var r = %1.getBoundingClientRect(); [r.x + 8, r.y + 8]").arg(id))
            .toList();
    ASSERT_EQ(at.size(), 2) << id.toStdString();
    x::moveMouse(engine->widget()->mapToGlobal(QPoint(at[0].toInt(), at[1].toInt())));
    x::click();
  }

  QWidget window;
  browser::WebEngineBrowser* engine;  // owned by its view inside window
};

}  // namespace testsupport
