// The Qt window as a user meets it: places, focus and keys, the live digest,
// copying, and failures that must not end the program. Runs on Qt's
// offscreen platform.

#include "qt_form.h"

#include <langinfo.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>

#include "clipboard_holder.h"
#include "form_layout.h"
#include "frmQuorlex.h"
#include "qt_translation.h"

namespace {

const QString kEmptyDigest = QStringLiteral("D41D8CD98F00B204E9800998ECF8427E");
const QString kAbcDigest = QStringLiteral("900150983CD24FB0D6963F7D28E17F72");

}  // namespace

class QtFormTest : public QObject {
  Q_OBJECT

 private slots:
  // As the program does before its window is made.
  void initTestCase() { qt::UseLanguageDirection(); }

  void init() {
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    form_ = std::make_unique<qt::QtForm>();
    txtText_ = form_->findChild<QLineEdit*>(QStringLiteral("txtText"));
    txtMD5_ = form_->findChild<QLineEdit*>(QStringLiteral("txtMD5"));
    const auto buttons =
        form_->findChildren<QPushButton*>(QStringLiteral("cmdClose"));
    QCOMPARE(buttons.size(), 2);
    for (QPushButton* button : buttons) {
      cmdClose_[button->property("index").toUInt()] = button;
    }
    QVERIFY(txtText_ && txtMD5_ && cmdClose_[0] && cmdClose_[1]);
  }

  void cleanup() { form_.reset(); }

  void localeComesFromTheEnvironment() {
    // CTest runs this test under LC_ALL=C.UTF-8, which the digests of non-
    // ASCII text below rely on: the engine reads the user's locale.
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("UTF-8"));
  }

  void loadRunsBeforeTheWindowIsShown() {
    QVERIFY(!form_->isVisible());
    QCOMPARE(txtMD5_->text(), kEmptyDigest);
    QCOMPARE(txtText_->text(), QString());
    QCOMPARE(form_->windowTitle(), QString::fromUtf16(ui::kCaption));
    QVERIFY(!form_->windowIcon().isNull());
    for (const ui::ControlSlot slot :
         {ui::kCopyAndCloseButton, ui::kCloseButton}) {
      QCOMPARE(Control(slot)->property("text").toString(),
               QString::fromUtf16(ui::kControls[slot].text));
    }
  }

  void showsCentredWithTheFocusInTheInput() {
    ShowAndActivate();
    // The window is placed before its frame is known, so its centre may be
    // off by up to half the frame's extra size.
    const QPoint offset = form_->frameGeometry().center() -
                          form_->screen()->availableGeometry().center();
    const QSize frame_extra = form_->frameGeometry().size() - form_->size();
    QVERIFY2(
        std::abs(offset.x()) <= frame_extra.width() / 2 + 1 &&
            std::abs(offset.y()) <= frame_extra.height() / 2 + 1,
        qPrintable(
            QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(QApplication::focusWidget(), txtText_);
  }

  void controlsKeepTheirPlacesWhateverTheWindowSize_data() {
    QTest::addColumn<QSize>("window_size");
    QTest::newRow("as created") << QSize();
    QTest::newRow("larger") << QSize(800, 400);
    QTest::newRow("smaller") << QSize(120, 40);
  }

  // CTest runs this once more in Arabic (qt_form_test_arabic), where the
  // window is mirrored: each control as far from the right edge as the
  // table puts it from the left, the digest box still left to right.
  void controlsKeepTheirPlacesWhateverTheWindowSize() {
    QFETCH(QSize, window_size);
    const std::map<QByteArray, bool> mirrored_by_locale = {
        {"C.UTF-8", false}, {"ar_EG.UTF-8", true}};
    const auto mirrored = mirrored_by_locale.find(qgetenv("LC_ALL"));
    QVERIFY2(mirrored != mirrored_by_locale.end(), qgetenv("LC_ALL").data());
    QCOMPARE(form_->layoutDirection(),
             mirrored->second ? Qt::RightToLeft : Qt::LeftToRight);
    QCOMPARE(txtMD5_->layoutDirection(), Qt::LeftToRight);
    ShowAndActivate();
    if (window_size.isValid()) {
      form_->resize(window_size);
      QVERIFY(QTest::qWaitFor([&] { return form_->size() == window_size; }));
    } else {
      QCOMPARE(form_->size(), QSize(259, 79));
    }
    // In Qt's logical pixels, 96 to the inch, worked out by hand from the
    // layout's twips (15 to the pixel, halves rounded up).
    const std::array<QRect, ui::kControlCount> places = {
        QRect(2, 2, 253, 19), QRect(2, 26, 253, 19), QRect(52, 52, 73, 25),
        QRect(136, 52, 73, 25)};
    for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
      QRect place = places[slot];
      if (mirrored->second) {
        place.moveLeft(form_->width() - place.left() - place.width());
      }
      QCOMPARE(Control(slot)->geometry(), place);
    }
  }

  void tabVisitsTheControlsInTabOrder() {
    ShowAndActivate();
    const auto order = ui::TabOrder();
    for (std::size_t i = 1; i <= order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), Control(order[i % order.size()]));
    }
  }

  void enterAndEscInATextBoxPressNoButton_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    for (const char* box : {"txtText", "txtMD5"}) {
      QTest::addRow("%s Enter", box) << box << int{Qt::Key_Return};
      QTest::addRow("%s keypad Enter", box) << box << int{Qt::Key_Enter};
      QTest::addRow("%s Esc", box) << box << int{Qt::Key_Escape};
    }
  }

  void enterAndEscInATextBoxPressNoButton() {
    QFETCH(QString, box);
    QFETCH(int, key);
    ShowAndActivate();
    QSignalSpy copy_clicks(cmdClose_[0], &QPushButton::clicked);
    QSignalSpy close_clicks(cmdClose_[1], &QPushButton::clicked);
    auto* text_box = form_->findChild<QLineEdit*>(box);
    text_box->setFocus();
    QTest::keyClick(text_box, static_cast<Qt::Key>(key));
    QCOMPARE(copy_clicks.count() + close_clicks.count(), 0);
    QVERIFY(form_->isVisible());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("earlier"));
  }

  void everyKeystrokeUpdatesTheDigest() {
    ShowAndActivate();
    const std::pair<Qt::Key, QString> keystrokes[] = {
        {Qt::Key_A, QStringLiteral("0CC175B9C0F1B6A831C399E269772661")},
        {Qt::Key_B, QStringLiteral("187EF4436122D1CC2F40DC2B92F0EBA0")},
        {Qt::Key_C, kAbcDigest},
        {Qt::Key_Backspace, QStringLiteral("187EF4436122D1CC2F40DC2B92F0EBA0")},
        {Qt::Key_Backspace, QStringLiteral("0CC175B9C0F1B6A831C399E269772661")},
        {Qt::Key_Backspace, kEmptyDigest},
    };
    for (const auto& [key, digest] : keystrokes) {
      QTest::keyClick(txtText_, key);
      QCOMPARE(txtMD5_->text(), digest);
    }
  }

  void programmaticAndPastedChangesUpdateTheDigest() {
    ShowAndActivate();
    txtText_->setText(QStringLiteral("abc"));
    QCOMPARE(txtMD5_->text(), kAbcDigest);
    txtText_->clear();
    QCOMPARE(txtMD5_->text(), kEmptyDigest);
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(txtText_, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txtText_->text(), QStringLiteral("abc"));
    QCOMPARE(txtMD5_->text(), kAbcDigest);
  }

  // "ä" in the character set of the user's locale (CTest runs this case
  // under two), whatever QApplication did to LC_CTYPE at start-up: Qt 6.8
  // switches a Latin-1 LC_CTYPE to UTF-8.
  void nonAsciiTextIsDigestedInTheLocalesCharacterSet() {
    const std::map<QByteArray, QString> digest_by_locale = {
        {"C.UTF-8",
         QStringLiteral("8419B71C87A225A2C70B50486FBEE545")},  // C3 A4
        {"de_DE.ISO-8859-1",
         QStringLiteral("C15BCC5577F9FADE4B4A3256190A59B0")},  // E4
    };
    const auto expected = digest_by_locale.find(qgetenv("LC_ALL"));
    QVERIFY2(expected != digest_by_locale.end(), qgetenv("LC_ALL").data());
    ShowAndActivate();
    QTest::sendKeyEvent(QTest::Click, txtText_, Qt::Key_Adiaeresis,
                        QStringLiteral("\u00E4"), Qt::NoModifier);
    QCOMPARE(txtMD5_->text(), expected->second);
  }

  // CTest runs this once more under de_DE.UTF-8 (qt_form_test_german).
  void contextMenuFollowsTheUsersLanguage() {
    if (QLocale().language() != QLocale::German) {
      QSKIP("not a German locale");
    }
    qt::InstallQtTranslation(*QCoreApplication::instance());
    const std::unique_ptr<QMenu> menu(txtText_->createStandardContextMenu());
    QCOMPARE(menu->actions().constFirst()->text(),
             QStringLiteral("&Rückgängig\tStrg+Z"));
  }

  // What a screen reader is told: the names of the layout table, which
  // differ, and after a change which bytes the digest was taken over, also
  // shown as the output box's tooltip.
  void accessibleNamesAndTheOutputBoxsDescription() {
    ShowAndActivate();
    const auto accessible_text = [](QWidget* widget, QAccessible::Text text) {
      QAccessibleInterface* control =
          QAccessible::queryAccessibleInterface(widget);
      return control != nullptr ? control->text(text) : QString();
    };
    for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
      QCOMPARE(accessible_text(Control(slot), QAccessible::Name),
               QString::fromUtf16(ui::AccessibleName(ui::kControls[slot])));
    }
    QVERIFY(accessible_text(txtText_, QAccessible::Name) !=
            accessible_text(txtMD5_, QAccessible::Name));

    txtText_->setText(QStringLiteral("a\u00E4\u20AC"));  // 1 + 2 + 3 bytes
    const QString explanation = QStringLiteral(
        "MD5 of 6 bytes: the text in UTF-8, the character set of the locale.");
    QCOMPARE(accessible_text(txtMD5_, QAccessible::Description), explanation);

    // A pasted line break: Qt's box keeps it and shows it as a space; the
    // explanation names it, and its tooltip wraps at the layout's width.
    QGuiApplication::clipboard()->setText(
        QStringLiteral("abc\n\u00A0\u200B\u202E\t"));
    txtText_->selectAll();
    QTest::keyClick(txtText_, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(accessible_text(txtMD5_, QAccessible::Description),
             QStringLiteral(
                 "MD5 of 13 bytes: the text in UTF-8, the character set of "
                 "the locale.\nCharacters you may not see, all hashed: 1 line "
                 "break (U+000A); 1 tab (U+0009); 1 no-break space (U+00A0); "
                 "1 zero-width space (U+200B); 1 text direction control "
                 "(U+202E)."));
    QToolTip::showText(txtMD5_->mapToGlobal(QPoint()), txtMD5_->toolTip(),
                       txtMD5_);
    const auto* tip = qobject_cast<QLabel*>(TopLevel("qtooltip_label"));
    QVERIFY(tip != nullptr && tip->isVisible());
    // What the label puts around its text, on either side.
    const int around = tip->frameWidth() + tip->margin() + tip->indent();
    QVERIFY2(tip->width() - 2 * around <=
                 ui::TwipsToPixels(ui::kTooltipMaxWidthTwips,
                                   txtMD5_->logicalDpiX()),
             qPrintable(QString::number(tip->width())));
    QToolTip::hideText();
  }

  void copyAndCloseCopiesTheOutputAsEditedAndCloses() {
    ShowAndActivate();
    QTest::keyClicks(txtText_, QStringLiteral("abc"));
    txtMD5_->setFocus();
    txtMD5_->selectAll();
    QTest::keyClicks(txtMD5_, QStringLiteral("edited by hand"));
    QTest::keyClick(txtMD5_, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), cmdClose_[0]);
    QTest::keyClick(cmdClose_[0], Qt::Key_Space);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("edited by hand"));
    QVERIFY(!form_->isVisible());
  }

  void closeLeavesTheClipboardAlone() {
    ShowAndActivate();
    QTest::keyClicks(txtText_, QStringLiteral("abc"));
    QTest::mouseClick(cmdClose_[1], Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("earlier"));
    QVERIFY(!form_->isVisible());
  }

  // CTest runs this under de_DE.ISO-8859-1, where the explanation of "ä"
  // gains the UTF-8 digest once typing pauses: not after the window went.
  void anExplanationStillDueGoesWithTheWindow() {
    if (qgetenv("LC_ALL") != "de_DE.ISO-8859-1") QSKIP("not a Latin-1 locale");
    ShowAndActivate();
    txtText_->setText(QStringLiteral("\u00E4"));
    const QString explanation = txtMD5_->toolTip();
    QTest::mouseClick(cmdClose_[1], Qt::LeftButton);
    QTest::qWait(2 * static_cast<int>(ui::kFullExplanationPauseMs));
    QCOMPARE(txtMD5_->toolTip(), explanation);
  }

  // CTest runs these on X11 (qt_form_test_x11), where a standby can take
  // the clipboard over. Only the confirmed copy that the clipboard still
  // shows is handed on: not after the user copied something else from a
  // text box, which Qt serves from this process too. Without a standby the
  // copy is left to Qt's hand-over to a clipboard manager, which the
  // hand-over's time limit must not cut short.
  void theHandOverKeepsOnlyTheCopyStillShown_data() {
    QTest::addColumn<bool>("standby");
    QTest::addColumn<QString>("copiedLater");
    QTest::addColumn<qt::Keeper>("keeper");
    QTest::addColumn<QString>("kept");
    QTest::newRow("the copy, to the standby")
        << true << QString() << qt::Keeper::kStandby << QStringLiteral("abc");
    QTest::newRow("a later copy of the user's")
        << true << QStringLiteral("later") << qt::Keeper::kNobody
        << QStringLiteral("later");
    QTest::newRow("the copy, no standby")
        << false << QString() << qt::Keeper::kWindowSystem
        << QStringLiteral("abc");
  }

  void theHandOverKeepsOnlyTheCopyStillShown() {
    QFETCH(bool, standby);
    QFETCH(QString, copiedLater);
    QFETCH(qt::Keeper, keeper);
    QFETCH(QString, kept);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
      QSKIP("not on X11");
    }
    standby::ClipboardHolder holder(
        standby ? qgetenv("DISPLAY").toStdString() : std::string(), false);
    ShowAndActivate();
    form_->SetClipboardText(u"abc");
    if (!copiedLater.isEmpty()) {
      txtText_->setText(copiedLater);
      txtText_->selectAll();
      QTest::keyClick(txtText_, Qt::Key_C, Qt::ControlModifier);
    }
    QCOMPARE(form_->clipboard().HandOver(holder), keeper);
    // Qt asks the standby with the time of the last event it has handled,
    // which the standby refuses while it predates its taking the selection.
    const auto shows = [&kept] {
      return QGuiApplication::clipboard()->text() == kept;
    };
    if (!QTest::qWaitFor(shows)) {
      QCOMPARE(QGuiApplication::clipboard()->text(), kept);
    }
    QCOMPARE(alarm(0), 0u);
  }

  void textBoxesHaveNoLengthLimitOfTheirOwn_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("txtText") << QStringLiteral("txtText");
    QTest::newRow("txtMD5") << QStringLiteral("txtMD5");
  }

  void textBoxesHaveNoLengthLimitOfTheirOwn() {
    QFETCH(QString, box);
    ShowAndActivate();
    // Longer than QLineEdit's default limit of 32767, pasted as a user would.
    const QString long_text(100000, QLatin1Char('a'));
    QGuiApplication::clipboard()->setText(long_text);
    auto* text_box = form_->findChild<QLineEdit*>(box);
    text_box->setFocus();
    text_box->selectAll();
    QTest::keyClick(text_box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text_box->text().size(), long_text.size());
    if (text_box == txtText_) {
      QCOMPARE(txtMD5_->text(),
               QStringLiteral("1AF6D6F2F682F76F80E606AEAAEE1680"));
    }
  }

  void aDigestIsShownInFull() {
    ShowAndActivate();
    QTest::keyClicks(txtText_, QStringLiteral("abc"));
    // The frame and QLineEdit's own margins take 3 pixels on either side.
    const int text_width = txtMD5_->fontMetrics().horizontalAdvance(kAbcDigest);
    QVERIFY2(text_width <= txtMD5_->width() - 6,
             qPrintable(QStringLiteral("%1 px").arg(text_width)));
    for (QPushButton* button : cmdClose_) {
      QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) <=
              button->width() - 4);
    }
  }

  // A text of 268,435,455 bytes or more is refused by the engine with error
  // 6: the error stands in the output box, the input is kept, and the next
  // change is digested as usual. Three bytes a character in UTF-8.
  void aTooLongTextShowsTheErrorAndTheProgramGoesOn() {
    ShowAndActivate();
    const qsizetype refused_chars = 268435455 / 3;
    txtText_->setText(QString(refused_chars, QChar(0x20AC)));
    QVERIFY2(txtMD5_->text().startsWith(QStringLiteral("Error 6: ")),
             qPrintable(txtMD5_->text()));
    QCOMPARE(txtText_->text().size(), refused_chars);
    QVERIFY(form_->isVisible());

    txtText_->setFocus();
    txtText_->end(false);
    QTest::keyClick(txtText_, Qt::Key_Backspace);
    QCOMPARE(txtText_->text().size(), refused_chars - 1);
    QCOMPARE(txtMD5_->text(),
             QStringLiteral("D202BE37C57D7347060424DE1A1D223A"));
  }

 private:
  QWidget* Control(std::size_t slot) const {
    const std::array<QWidget*, ui::kControlCount> by_slot = {
        txtText_, txtMD5_, cmdClose_[0], cmdClose_[1]};
    return by_slot[slot];
  }

  static QWidget* TopLevel(const char* name) {
    const auto widgets = QApplication::topLevelWidgets();
    const auto named =
        std::find_if(widgets.begin(), widgets.end(), [name](QWidget* widget) {
          return widget->objectName() == QLatin1String(name);
        });
    return named != widgets.end() ? *named : nullptr;
  }

  void ShowAndActivate() {
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  }

  std::unique_ptr<qt::QtForm> form_;
  QLineEdit* txtText_ = nullptr;
  QLineEdit* txtMD5_ = nullptr;
  std::array<QPushButton*, ui::kCloseButtons.size()> cmdClose_{};
};

QTEST_MAIN(QtFormTest)
#include "qt_form_test.moc"
