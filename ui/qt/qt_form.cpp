#include "qt_form.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
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
#include <QToolTip>
#include <algorithm>
#include <limits>

#include "desktop.h"
#include "numbered_error.h"
#include "qt_twips.h"

namespace qt {
namespace {

// Fitting the default font to the fixed controls stops here.
constexpr qreal kSmallestPointSize = 6;

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A control of the layout table, named as the table says; PlaceControls
// places it.
template <typename Widget>
Widget* CreateControl(QWidget* parent, ui::ControlSlot slot) {
  const ui::ControlFacts& facts = ui::kControls[slot];
  auto* control = new Widget(QString::fromUtf16(facts.text), parent);
  control->setObjectName(QLatin1String(facts.name));
  control->setAccessibleName(QString::fromUtf16(ui::AccessibleName(facts)));
  if (facts.left_to_right) control->setLayoutDirection(Qt::LeftToRight);
  return control;
}

// A single-line text box with no length limit of its own (QLineEdit's
// default is 32767 characters).
QLineEdit* CreateTextBox(QWidget* parent, ui::ControlSlot slot) {
  auto* box = CreateControl<QLineEdit>(parent, slot);
  box->setMaxLength(std::numeric_limits<int>::max());
  return box;
}

// Neither button is the default (Enter) button.
QPushButton* CreateButton(QWidget* parent, ui::CloseButton index) {
  auto* button = CreateControl<QPushButton>(parent, ui::CloseButtonSlot(index));
  button->setProperty("index", static_cast<int>(index));
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
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

// The application icon in every size that the desktop may ask for: each
// size the build put in the resources. Read as PNG without sniffing, which
// would load every image format plugin.
QIcon ApplicationIcon() {
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& size : sizes.entryList(QDir::Dirs)) {
    QImageReader reader(
        sizes.filePath(size + QStringLiteral("/apps/text-to-md5.png")), "png");
    reader.setAutoDetectImageFormat(false);
    icon.addPixmap(QPixmap::fromImage(reader.read()));
  }
  return icon;
}

// plain, lines split by "\n", as a tooltip whose lines wrap where they would
// pass max_width pixels. Qt wraps only rich text, and sizes a rich tooltip
// by a guess at a pleasing shape; a table as wide as the widest line, up to
// max_width, gives the tooltip that width. Empty stays empty: no tooltip.
QString WrappedTooltip(const QString& plain, int max_width) {
  if (plain.isEmpty()) return plain;
  const QFontMetrics metrics(QToolTip::font());
  int widest = 0;
  for (const QString& line : plain.split(QLatin1Char('\n'))) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  // The slack keeps the rich text's layout, which rounds otherwise, from
  // breaking a line that fits.
  constexpr int kSlack = 2;
  return QStringLiteral(
             "<table width=%1 cellspacing=0 cellpadding=0><tr><td>"
             "%2</td></tr></table>")
      .arg(QString::number(std::min(widest + kSlack, max_width)),
           plain.toHtmlEscaped().replace(QLatin1Char('\n'),
                                         QLatin1String("<br>")));
}

}  // namespace

QtForm::QtForm(QWidget* parent) : QWidget(parent), core_(*this) {
  setWindowTitle(QString::fromUtf16(ui::kCaption));
  setWindowIcon(ApplicationIcon());
  resize(ClientSize());
  CreateControls();
  CentreOnScreen();
  core_.OnLoad();
  ConnectEvents();
}

void QtForm::CreateControls() {
  txtText_ = CreateTextBox(this, ui::kTxtText);
  txtMD5_ = CreateTextBox(this, ui::kTxtMD5);
  UseScrollBarColours(txtMD5_);
  for (const ui::CloseButton index : ui::kCloseButtons) {
    cmdClose_[static_cast<std::size_t>(index)] = CreateButton(this, index);
  }

  // The widgets' creation order is not the tab order; the table's is.
  const auto by_slot = BySlot();
  QWidget* previous = nullptr;
  for (const ui::ControlSlot slot : ui::TabOrder()) {
    if (previous != nullptr) setTabOrder(previous, by_slot[slot]);
    previous = by_slot[slot];
  }
  by_slot[ui::TabOrder().front()]->setFocus();
  PlaceControls();
  ChooseFont();
}

std::array<QWidget*, ui::kControlCount> QtForm::BySlot() const {
  return {txtText_, txtMD5_, cmdClose_[ui::kCopyAndClose],
          cmdClose_[ui::kClose]};
}

void QtForm::PlaceControls() {
  const auto by_slot = BySlot();
  for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
    by_slot[slot]->setGeometry(QStyle::visualRect(
        layoutDirection(), rect(), ToPixels(ui::kControls[slot].place)));
  }
}

// The slots can raise nothing: the core's entry points let no failure out,
// as Qt requires of code called from its event loop.
void QtForm::ConnectEvents() {
  connect(txtText_, &QLineEdit::textChanged, this,
          [this] { core_.OnInputChanged(); });
  explanation_timer_.setSingleShot(true);
  connect(&explanation_timer_, &QTimer::timeout, this,
          [this] { core_.OnExplanationDue(); });
  for (const ui::CloseButton index : ui::kCloseButtons) {
    connect(cmdClose_[static_cast<std::size_t>(index)], &QPushButton::clicked,
            this, [this, index] { core_.OnButtonClicked(index); });
  }
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

// The description is what AT-SPI reports, and screen readers read, beside
// the box's name; it stays plain text.
void QtForm::SetOutputExplanation(std::u16string_view text) {
  const QString explanation = ToQString(text);
  txtMD5_->setToolTip(WrappedTooltip(
      explanation,
      ui::TwipsToPixels(ui::kTooltipMaxWidthTwips, txtMD5_->logicalDpiX())));
  txtMD5_->setAccessibleDescription(explanation);
}

void QtForm::ExplainLater(std::uint32_t milliseconds) {
  explanation_timer_.start(static_cast<int>(milliseconds));
}

void QtForm::ClearClipboard() { clipboard_.Clear(); }

void QtForm::SetClipboardText(std::u16string_view text) {
  if (!clipboard_.Copy(ToQString(text))) {
    throw basMD5::NumberedError(basMD5::kErrClipboardRefused,
                                "The window system did not take the text");
  }
}

void QtForm::Sleep(std::uint32_t milliseconds) {
  QThread::msleep(milliseconds);
}

void QtForm::Unload() {
  close();
  QCoreApplication::quit();
}

void QtForm::resizeEvent(QResizeEvent* event) {
  PlaceControls();
  QWidget::resizeEvent(event);
}

// However the window goes (unloaded, or closed from its title bar), an
// explanation still due would only cost time while the program ends.
void QtForm::closeEvent(QCloseEvent* event) {
  explanation_timer_.stop();
  QWidget::closeEvent(event);
}

}  // namespace qt
