#include "qt_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QIcon>
#include <QImageReader>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QThread>
#include <algorithm>
#include <limits>

#include "numbered_error.h"

namespace ui {
namespace {

// Places are given in twips, at 15 twips per logical pixel; Qt scales
// logical pixels on high-resolution screens.
constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
  int left, top, width, height;

  QRect ToPixels() const {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel,
                 width / kTwipsPerPixel, height / kTwipsPerPixel);
  }
};

constexpr TwipsRect kClientArea{0, 0, 3885, 1185};
constexpr TwipsRect kTxtText{30, 30, 3795, 285};
constexpr TwipsRect kTxtMD5{30, 390, 3795, 285};
constexpr std::array<TwipsRect, 2> kCmdClose = {
    TwipsRect{780, 780, 1095, 375}, TwipsRect{2040, 780, 1095, 375}};
constexpr std::array<const char*, 2> kCmdCloseCaptions = {"Copy+Close",
                                                          "Close"};

// Fitting the default font to the fixed controls stops here.
constexpr qreal kSmallestPointSize = 6;

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A single-line text box with no length limit of its own (QLineEdit's
// default is 32767 characters).
QLineEdit* CreateTextBox(QWidget* parent, const char* name,
                         const TwipsRect& place) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QLatin1String(name));
  box->setMaxLength(std::numeric_limits<int>::max());
  box->setGeometry(place.ToPixels());
  return box;
}

// Qt has no scroll-bar colour role; its styles paint scroll bars from the
// button colours, and Button with ButtonText is a pair that contrasts in
// light and dark themes alike.
void UseScrollBarColours(QLineEdit* box) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  palette.setColor(QPalette::Text, palette.color(QPalette::ButtonText));
  box->setPalette(palette);
}

// The width and height that a line edit leaves its text: its contents less
// the 2 pixels left and right and 1 above and below that QLineEdit keeps.
QSize TextArea(const QLineEdit* box) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.lineWidth =
      box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  return box->style()
             ->subElementRect(QStyle::SE_LineEditContents, &option, box)
             .size() -
         QSize(4, 2);
}

// The width that a push button leaves its caption, a pixel clear of the
// bevel on either side.
int CaptionWidth(const QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  return button->style()
             ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
             .width() -
         2;
}

// The width of a digest text of average width in font.
qreal DigestWidth(const QFontMetricsF& metrics) {
  qreal sum = 0;
  for (const QChar digit : QStringLiteral("0123456789ABCDEF")) {
    sum += metrics.horizontalAdvance(digit);
  }
  return sum / 16 * 32;
}

// The application icon in every size that the desktop may ask for. Read as
// PNG without sniffing, which would load every image format plugin.
QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) {
    QImageReader reader(
        QStringLiteral(":/icons/%1x%1/apps/text-to-md5.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    icon.addPixmap(QPixmap::fromImage(reader.read()));
  }
  return icon;
}

}  // namespace

QtForm::QtForm(QWidget* parent) : QWidget(parent), core_(*this) {
  setWindowTitle(QStringLiteral("Text to MD5"));
  setWindowIcon(ApplicationIcon());
  resize(kClientArea.ToPixels().size());
  CreateControls();
  CentreOnScreen();
  core_.OnLoad();
  connect(txtText_, &QLineEdit::textChanged, this,
          [this] { core_.OnInputChanged(); });
}

void QtForm::CreateControls() {
  txtText_ = CreateTextBox(this, "txtText", kTxtText);
  txtMD5_ = CreateTextBox(this, "txtMD5", kTxtMD5);
  txtMD5_->setText(QStringLiteral("---"));
  UseScrollBarColours(txtMD5_);

  for (std::int16_t index = 0; index < 2; ++index) {
    auto* button =
        new QPushButton(QLatin1String(kCmdCloseCaptions[index]), this);
    button->setObjectName(QStringLiteral("cmdClose"));
    button->setProperty("index", index);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(kCmdClose[index].ToPixels());
    connect(button, &QPushButton::clicked, this,
            [this, index] { core_.OnButtonClicked(index); });
    cmdClose_[index] = button;
  }

  setTabOrder(txtText_, txtMD5_);
  setTabOrder(txtMD5_, cmdClose_[kClose]);
  setTabOrder(cmdClose_[kClose], cmdClose_[kCopyAndClose]);
  txtText_->setFocus();
  ChooseFont();
}

bool QtForm::TextsFit(const QFont& font) const {
  const QFontMetricsF metrics(font);
  const QSize text_area = TextArea(txtMD5_);
  const auto caption_fits = [&metrics](const QPushButton* button) {
    return metrics.horizontalAdvance(button->text()) <= CaptionWidth(button);
  };
  return DigestWidth(metrics) <= text_area.width() &&
         metrics.height() <= text_area.height() &&
         std::all_of(cmdClose_.begin(), cmdClose_.end(), caption_fits);
}

void QtForm::ChooseFont() {
  QFont chosen = font();
  // Kerning and ligatures are cosmetic in scripts that need no shaping;
  // without them a long input lays out in half the time at every keystroke.
  chosen.setStyleStrategy(QFont::PreferNoShaping);
  while (chosen.pointSizeF() > kSmallestPointSize && !TextsFit(chosen)) {
    chosen.setPointSizeF(chosen.pointSizeF() - 0.5);
  }
  setFont(chosen);
}

void QtForm::CentreOnScreen() {
  move(screen()->availableGeometry().center() - rect().center());
}

std::u16string QtForm::InputText() { return txtText_->text().toStdU16String(); }

std::u16string QtForm::OutputText() { return txtMD5_->text().toStdU16String(); }

void QtForm::SetOutputText(std::u16string_view text) {
  txtMD5_->setText(ToQString(text));
  txtMD5_->setCursorPosition(0);  // a text too long to fit shows its start
}

void QtForm::ClearClipboard() { QGuiApplication::clipboard()->clear(); }

void QtForm::SetClipboardText(std::u16string_view text) {
  const QString expected = ToQString(text);
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(expected);
  // Qt reports no failure; read the text back to see that it took.
  if (clipboard->text() != expected) {
    throw basMD5::NumberedError(kErrClipboardBusy,
                                "Cannot set the clipboard's text");
  }
}

void QtForm::Sleep(std::uint32_t milliseconds) {
  QThread::msleep(milliseconds);
}

void QtForm::Unload() {
  close();
  QCoreApplication::quit();
}

}  // namespace ui
