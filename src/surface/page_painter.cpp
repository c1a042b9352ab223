#include "surface/page_painter.h"

#include "common/stop_request.h"
#include "surface/font_resolver.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>
#include <vector>

namespace quillet::surface {
namespace {

constexpr double kTwipsPerInch = 1440.0;

QRectF toQRect(const TwipRect& r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

class OpPainter {
public:
    explicit OpPainter(QPainter& painter) : p_(painter)
    {
        QPaintDevice* device = painter.device();
        deviceDpi_ = device ? device->logicalDpiY() : 96;
        double scale = std::hypot(painter.worldTransform().m11(), painter.worldTransform().m12());
        twipsPerPixel_ = scale > 0 ? 1.0 / scale : 1.0;
    }

    void operator()(const TextOp& op)
    {
        if (!currentFont_ || !(*currentFont_ == op.font)) {
            p_.setFont(fontFor(op.font));
            currentFont_ = &op.font;
        }
        p_.setPen(toQColor(op.colour));
        if (op.clip) {
            p_.save();
            p_.setClipRect(toQRect(*op.clip), Qt::IntersectClip);
            p_.drawText(QPointF(op.x, op.baseline), drawnText(op.font, op.text));
            p_.restore();
        } else {
            p_.drawText(QPointF(op.x, op.baseline), drawnText(op.font, op.text));
        }
    }

    void operator()(const LineOp& op)
    {
        p_.setPen(penFor(op.colour, op.width));
        p_.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
    }

    void operator()(const RectOp& op)
    {
        QRectF rect = toQRect(op.rect);
        if (op.fill)
            p_.fillRect(rect, toQColor(*op.fill));
        if (op.outline) {
            p_.setPen(penFor(*op.outline, op.penWidth));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(rect);
        }
    }

    void operator()(const PictureOp& op)
    {
        p_.drawImage(toQRect(op.rect), op.image);
    }

private:
    // A page uses a handful of styles over and over: each is resolved to a
    // font once per page rather than once per text.
    const QFont& fontFor(const FontStyle& style)
    {
        for (const auto& [known, font] : fonts_)
            if (known == style)
                return font;
        fonts_.emplace_back(style, makeTwipFont(style, deviceDpi_));
        return fonts_.back().second;
    }

    // Width 0 is a hairline, one device pixel (Qt's cosmetic pen); any other
    // width is in twips but never thinner than one device pixel.
    QPen penFor(Rgb colour, double width) const
    {
        QPen pen(toQColor(colour));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setWidthF(width <= 0 ? 0.0 : std::max(width, twipsPerPixel_));
        return pen;
    }

    QPainter& p_;
    int deviceDpi_ = 96;
    double twipsPerPixel_ = 1.0;
    std::vector<std::pair<FontStyle, QFont>> fonts_;
    const FontStyle* currentFont_ = nullptr;  // the style the painter holds now
};

} // namespace

void paintPage(QPainter& painter, const Page& page)
{
    painter.save();
    OpPainter draw(painter);
    for (const DrawOp& op : page.ops) {
        if (StopScope::requested()) {
            painter.restore();
            throw StopRequested();
        }
        std::visit(draw, op);
    }
    painter.restore();
}

QTransform twipTransform(double deviceDpi, double zoom, QPointF offset)
{
    double scale = deviceDpi / kTwipsPerInch * zoom;
    return QTransform(scale, 0, 0, scale, offset.x(), offset.y());
}

} // namespace quillet::surface
