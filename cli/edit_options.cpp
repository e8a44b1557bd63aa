#include "cli/edit_options.h"

#include "cli/console_port.h"
#include "cli/gui_part.h"
#include "cli/effect_names.h"
#include "doc/command_table.h"
#include "effects/tracker_geometry.h"
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"

#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <optional>

namespace quillon::cli {
namespace {

bool toInt(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

// "A,B,C,D" into four integers.
bool toRect(const QString& text, Rect& r) {
    const QStringList parts = text.split(',');
    return parts.size() == 4 && toInt(parts[0], r.left) && toInt(parts[1], r.top) &&
           toInt(parts[2], r.right) && toInt(parts[3], r.bottom);
}

// VALUE@X,Y[,REST...]: the text before the last '@', the point and the rest.
bool splitPlace(const QString& text, QString& before, int& x, int& y, QStringList& rest) {
    const int at = text.lastIndexOf('@');
    if (at < 0) return false;
    before = text.left(at);
    QStringList parts = text.mid(at + 1).split(',');
    if (parts.size() < 2 || !toInt(parts[0], x) || !toInt(parts[1], y)) return false;
    rest = parts.mid(2);
    return true;
}

// As Commit: normalised, clamped to the picture, nothing when it has no area.
std::optional<Rect> clampToPicture(const Rect& r, const CImageObject& p) {
    Rect c = normalized(r);
    c.left = std::clamp(c.left, 0, p.width());
    c.right = std::clamp(c.right, 0, p.width());
    c.top = std::clamp(c.top, 0, p.height());
    c.bottom = std::clamp(c.bottom, 0, p.height());
    if (c.isEmpty()) return std::nullopt;
    return c;
}

bool fail(ConsolePort& console) {
    reportImagingError(console);
    return false;
}

}  // namespace

EditScript::Parse EditScript::parse(const QStringList& arguments, int& i, QString& error) {
    const QString& option = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    const auto bad = [&](const QString& value) {
        error = QString("quillon-cli convert: bad %1 '%2'").arg(option, value);
        return Parse::Bad;
    };
    if (option == "--delete") {
        m_steps.push_back(DeleteEdit{});
        return Parse::Done;
    }
    if (option == "--effect") {
        if (!hasValue) return bad(QString());
        const QString value = arguments[++i];
        const int equals = value.indexOf('=');
        const QString name = equals < 0 ? value : value.left(equals);
        const EffectRow* row = findEffectRow(name);
        if (!row) {
            error = QString("quillon-cli convert: unknown effect '%1' (quillon-cli effects lists them)").arg(name);
            return Parse::Bad;
        }
        MenuEffect effect{name, row->command, {}};
        QString why;
        if (!row->parse(equals < 0 ? QString() : value.mid(equals + 1), effect.command, effect.run, why)) {
            error = "quillon-cli convert: " + why;
            return Parse::Bad;
        }
        m_steps.push_back(effect);
        return Parse::Done;
    }
    if (option != "--select" && option != "--paste" && option != "--move" && option != "--text")
        return Parse::NotMine;
    if (!hasValue) return bad(QString());
    const QString value = arguments[++i];
    QString before;
    QStringList rest;
    if (option == "--select") {
        SelectEdit s;
        if (!toRect(value, s.rect)) return bad(value);
        m_steps.push_back(s);
    } else if (option == "--paste") {
        PasteEdit p;
        if (!splitPlace(value, p.file, p.x, p.y, rest) || p.file.isEmpty() || rest.size() > 1) return bad(value);
        if (rest.size() == 1) {
            if (rest[0] != "transparent") return bad(value);
            p.transparent = true;
        }
        m_steps.push_back(p);
    } else if (option == "--move") {
        MoveEdit m;
        if (!splitPlace(value, before, m.x, m.y, rest) || !toRect(before, m.from)) return bad(value);
        if (rest.size() == 2) {
            if (!toInt(rest[0], m.width) || !toInt(rest[1], m.height) || m.width <= 0 || m.height <= 0)
                return bad(value);
        } else if (!rest.isEmpty()) {
            return bad(value);
        }
        m_steps.push_back(m);
    } else {
        TextEdit t;
        if (!splitPlace(value, t.text, t.x, t.y, rest)) return bad(value);
        if (!rest.isEmpty()) t.font = rest.takeFirst();
        if (!rest.isEmpty() && !(toInt(rest.takeFirst(), t.points) && t.points > 0 && t.points <= 1000))
            return bad(value);
        if (!rest.isEmpty()) {
            static const QRegularExpression hex("^#[0-9A-Fa-f]{6}$");
            const QString c = rest.takeFirst();
            if (!hex.match(c).hasMatch()) return bad(value);
            t.colour = QRgb(c.mid(1).toUInt(nullptr, 16));
        }
        for (const QString& style : rest) {
            if (style == "underline") t.underline = true;
            else if (style == "strikeout") t.strikeOut = true;
            else return bad(value);
        }
        m_steps.push_back(t);
    }
    return Parse::Done;
}

bool EditScript::apply(CImageObject& picture, ConsolePort& console) const {
    std::optional<Rect> workArea;
    for (const EditStep& step : m_steps) {
        // Every step but the operations and the work area draws in the GUI part.
        const bool draws = !std::holds_alternative<EffectOp>(step) && !std::holds_alternative<SelectEdit>(step);
        const GuiPart* gui = draws ? guiPart(console) : nullptr;
        if (draws && !gui) return false;
        if (const auto* op = std::get_if<EffectOp>(&step)) {
            if (!applyEffectOps(picture, {*op}, console)) return false;
        } else if (const auto* s = std::get_if<SelectEdit>(&step)) {
            workArea = clampToPicture(s->rect, picture);
        } else if (const auto* p = std::get_if<PasteEdit>(&step)) {
            auto source = std::make_unique<CImageObject>();
            if (!openPicture(*source, p->file)) return fail(console);
            int x = p->x, y = p->y;
            keepOnePixelOver(x, y, source->width(), source->height(), picture.width(), picture.height());
            if (!gui->paste(picture, *source, x, y, p->transparent)) return fail(console);
        } else if (const auto* m = std::get_if<MoveEdit>(&step)) {
            const std::optional<Rect> from = clampToPicture(m->from, picture);
            if (!from) continue;  // nothing of it lies on the picture
            const int w = m->width > 0 ? m->width : from->width();
            const int h = m->height > 0 ? m->height : from->height();
            int x = m->x, y = m->y;
            keepOnePixelOver(x, y, w, h, picture.width(), picture.height());
            const Rect to{x, y, x + w, y + h};
            if (to == *from) continue;  // put back where it was: no edit
            if (!gui->move(picture, *from, to)) return fail(console);
        } else if (std::holds_alternative<DeleteEdit>(step)) {
            if (!gui->clear(picture, workArea)) return fail(console);
        } else if (const auto* t = std::get_if<TextEdit>(&step)) {
            if (!gui->text(picture, *t)) return fail(console);
        } else if (const auto* e = std::get_if<MenuEffect>(&step)) {
            if (const auto why = whyDisabled(e->command, picture.bitsPerPixel(), workArea.has_value())) {
                console.error(QString("quillon-cli convert: --effect %1 is disabled: %2").arg(e->name, *why));
                return false;
            }
            const Rect area = workArea.value_or(Rect{});
            QString error;
            if (!e->run(picture, workArea ? &area : nullptr, error)) {
                console.error(QString("quillon-cli convert: --effect %1: %2").arg(e->name, error));
                return false;
            }
            // As the menu command does with the selection.
            if (const CommandInfo* info = findCommand(e->command); info && info->selection == SelectionFate::Cleared)
                workArea.reset();
        }
    }
    return true;
}

}  // namespace quillon::cli
