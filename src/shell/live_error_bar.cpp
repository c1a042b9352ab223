#include "shell/live_error_bar.h"

#include "sheet/mod_print_report.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace quillet {

namespace {

// Messages are written for message boxes, with CR LF between paragraphs;
// in a bar they run on.
QString oneParagraph(const Text& text)
{
    QString joined = QString::fromStdU16String(text);
    joined.replace(QStringLiteral("\r\n\r\n"), QStringLiteral(" "));
    joined.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    joined.replace(u'\r', u' ');
    joined.replace(u'\n', u' ');
    return joined.simplified();
}

} // namespace

LiveErrorBar::LiveErrorBar(QWidget* parent)
    : QFrame(parent), icon_(new QLabel(this)), headline_(new QLabel(this)), line_(new QLabel(this))
{
    setObjectName(QStringLiteral("barLiveRefresh"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xfd, 0xec, 0xea));
    colours.setColor(QPalette::WindowText, QColor(0x5a, 0x12, 0x0c));
    setPalette(colours);

    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
    icon_->setAlignment(Qt::AlignTop);
    headline_->setObjectName(QStringLiteral("lblLiveRefreshError"));
    headline_->setWordWrap(true);
    headline_->setTextFormat(Qt::PlainText);
    headline_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = headline_->font();
    bold.setBold(true);
    headline_->setFont(bold);
    // The line as the author wrote it, in a fixed font, to copy from.
    line_->setObjectName(QStringLiteral("lblLiveRefreshLine"));
    line_->setTextFormat(Qt::PlainText);
    line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(headline_);
    texts->addWidget(line_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 5, 8, 5);
    row->addWidget(icon_);
    row->addLayout(texts, 1);
    hide();
}

void LiveErrorBar::showScriptError(const ScriptFailure& failure)
{
    QString headline = QStringLiteral("Error %1: %2").arg(failure.number).arg(oneParagraph(failure.description));
    QString line;
    if (failure.line > 0) {
        headline += QStringLiteral(" in line %1").arg(failure.line);
        // Without its indent, which says nothing here; tabs inside would
        // show as boxes or nothing.  A long line is cut at the bar's end
        // rather than wrapped over the pages.
        line = QStringLiteral("line %1: ").arg(failure.line) +
               QString::fromStdU16String(failure.lineText).trimmed().replace(u'\t', QStringLiteral("    "));
    }
    present(headline, line);
}

void LiveErrorBar::showMessage(const Text& message)
{
    present(oneParagraph(message), QString());
}

void LiveErrorBar::present(const QString& headline, const QString& line)
{
    headline_->setText(headline);
    line_->setText(line);
    line_->setToolTip(line);
    line_->setVisible(!line.isEmpty());
    show();
    emit changed();
}

void LiveErrorBar::clear()
{
    if (isHidden())
        return;
    hide();
    headline_->clear();
    line_->clear();
    emit changed();
}

int LiveErrorBar::heightAt(int width) const
{
    if (isHidden())
        return 0;
    return layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height();
}

} // namespace quillet
