// How long one keystroke takes, from the key event to txtMD5 showing the new
// digest, at inputs of 1 KiB and 256 KiB of ASCII, and of 256 Ki "ä" (in a
// Latin-1 locale: one byte each, which differ from the text's UTF-8 bytes),
// and of 256 Ki no-break spaces, each one named by the explanation;
// and how much of it the digest engine takes. Prints figures; run with
// QT_QPA_PLATFORM=offscreen or on a display.

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "basMD5.h"
#include "qt_form.h"

namespace {

constexpr int kKeystrokes = 21;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MsSince(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Measure(qt::QtForm& form, qsizetype input_size, QChar character) {
  auto* txtText = form.findChild<QLineEdit*>(QStringLiteral("txtText"));
  txtText->setText(QString(input_size - 1, character));
  txtText->setFocus();
  txtText->end(false);
  QApplication::processEvents();

  std::vector<double> handled, painted, digest;
  for (int i = 0; i < kKeystrokes; ++i) {
    // Alternate typing and deleting so the input stays at input_size.
    const Qt::Key key = i % 2 == 0 ? Qt::Key_X : Qt::Key_Backspace;
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(txtText, key);
    handled.push_back(MsSince(timer));
    form.repaint();
    painted.push_back(MsSince(timer));

    const std::u16string text(
        reinterpret_cast<const char16_t*>(txtText->text().utf16()),
        static_cast<std::size_t>(txtText->text().size()));
    timer.restart();
    basMD5::DigestTextHex(text);
    digest.push_back(MsSince(timer));
  }
  std::printf(
      "keystroke at %7lld chars of %s: %7.2f ms to txtMD5 updated, %7.2f ms "
      "with the repaint, %7.2f ms of it the digest (medians of %d)\n",
      static_cast<long long>(input_size),
      character.unicode() < 0x80
          ? "ASCII"
          : qPrintable(QStringLiteral("U+%1")
                           .arg(character.unicode(), 4, 16, QLatin1Char('0'))
                           .toUpper()),
      Median(handled), Median(painted), Median(digest), kKeystrokes);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  qt::QtForm form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  Measure(form, 1024, QLatin1Char('a'));
  Measure(form, 256 * 1024, QLatin1Char('a'));
  Measure(form, 256 * 1024, QChar(0x00E4));
  // Each one a character that the explanation names.
  Measure(form, 256 * 1024, QChar(0x00A0));
}
