// Markers that come in from editing timelines: FCPXML, Final Cut Pro 7 XML and
// OpenTimelineIO. Each marker becomes a spot: its name the SP No., its comment the remark, its
// position on the timeline (in the timeline's own timecode) the IN, position + duration the
// OUT. Times are taken as seconds and counted in frames of the list's rate.
#include "formats/export_spots.h"
#include "formats/import_entries.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <cmath>
#include <functional>

namespace {

constexpr int MAX_DEPTH = 64;
// Objects and arrays an OTIO file may hold: room for more markers than entries are taken.
constexpr qsizetype MAX_OTIO_CONTAINERS = 5 * qsizetype(MAX_IMPORT_ENTRIES);

// Seconds to the list's frames, rounded to the nearest; nothing for a time no day holds.
bool ToFrames(double seconds, TimecodeRate rate, long long* frames) {
    const double f = std::round(seconds * FramesPerSecond(rate));
    if (!std::isfinite(f) || f < 0 || f >= double(FramesPerDay(rate)) * 2)
        return false;
    *frames = static_cast<long long>(f);
    return true;
}

// An entry from a marker: IN at the position, OUT duration later (none for a point marker).
void AddMarker(ImportRead* read, double at, double duration, const QString& name,
               const QString& comment, TimecodeRate rate) {
    const QString where = MarkerWhere(read->entries.size() + read->leftOut.size() + 1);
    long long in = 0, length = 0;
    if (!ToFrames(at, rate, &in) || !ToFrames(duration, rate, &length) ||
        in >= FramesPerDay(rate)) {
        read->LeaveOut({where, ImportSkipReason::Unreadable, QString()});
        return;
    }
    ImportEntry e;
    e.where = where;
    e.spNo = name;
    e.remark = comment;
    e.in = FrameLabel(in, rate);
    e.out = length > 0 ? FrameLabel(in + length, rate) : QString();
    read->Add(e);
}

// An FCPXML time: "1001/30000s", "3600s", "0s"; false for anything else.
bool FcpSeconds(QStringView text, double* seconds) {
    if (!text.endsWith(QLatin1Char('s')))
        return false;
    const QStringView number = text.chopped(1);
    const qsizetype slash = number.indexOf(QLatin1Char('/'));
    bool ok = false, okDen = true;
    const double num = (slash < 0 ? number : number.left(slash)).toDouble(&ok);
    const double den = slash < 0 ? 1.0 : number.mid(slash + 1).toDouble(&okDen);
    if (!ok || !okDen || den <= 0 || !std::isfinite(num))
        return false;
    *seconds = num / den;
    return true;
}

// What a timeline reader does with an element it has just met.
enum class Element {
    Open,      // it stays open: its children follow, and its end
    ReadWhole, // the reader took it whole (its text, up to its end)
    Stop,      // nothing more is read
};

// One pass over an XML timeline's elements within the file's budget, at most MAX_DEPTH deep:
// started at each start tag, ended at the end of each element that stayed open. Whether the
// document is one at all is the caller's to tell; the budget says when it was refused.
void WalkXml(const QByteArray& bytes, ImportBudget* budget,
             const std::function<Element(QXmlStreamReader&)>& started,
             const std::function<void()>& ended) {
    QXmlStreamReader xml(bytes);
    int depth = 0;
    while (!xml.atEnd() && !budget->Passed()) {
        const QXmlStreamReader::TokenType token = NextXmlToken(xml, budget);
        if (token == QXmlStreamReader::EndElement) {
            if (depth > 0) {
                --depth;
                ended();
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (depth >= MAX_DEPTH)
            return;
        const Element element = started(xml);
        if (element == Element::Stop)
            return;
        if (element == Element::Open)
            ++depth;
    }
}

} // namespace

ImportRead ReadFcpxml(const QByteArray& bytes, TimecodeRate rate) {
    ImportRead read;
    if (!AcceptXml(bytes, &read.budget))
        return read;
    // Each open element and how it maps its own time to its parent's: parent = offset +
    // (local - start). Elements without an offset leave time as it is.
    struct Level {
        bool maps = false;
        double offset = 0, start = 0;
    };
    QVector<Level> levels;
    bool sawRoot = false;
    const auto started = [&](QXmlStreamReader& xml) {
        sawRoot = sawRoot || xml.name() == QLatin1String("fcpxml");
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("marker") ||
            xml.name() == QLatin1String("chapter-marker")) {
            double at = 0, duration = 0;
            const bool timed = FcpSeconds(a.value(QLatin1String("start")), &at);
            if (a.hasAttribute(QLatin1String("duration")) &&
                !FcpSeconds(a.value(QLatin1String("duration")), &duration))
                duration = -1;
            if (!timed || duration < 0) {
                read.LeaveOut({MarkerWhere(read.entries.size() + read.leftOut.size() + 1),
                               ImportSkipReason::Unreadable, QString()});
            } else {
                // From the marker's parent out to the sequence.
                for (qsizetype i = levels.size() - 1; i >= 0; --i) {
                    if (levels.at(i).maps)
                        at = levels.at(i).offset + (at - levels.at(i).start);
                }
                AddMarker(&read, at, duration, a.value(QLatin1String("value")).toString(),
                          a.value(QLatin1String("note")).toString(), rate);
            }
        }
        Level level;
        double offset = 0, start = 0;
        if (FcpSeconds(a.value(QLatin1String("offset")), &offset)) {
            level.maps = true;
            level.offset = offset;
            level.start = FcpSeconds(a.value(QLatin1String("start")), &start) ? start : 0;
        }
        levels.append(level);
        return Element::Open;
    };
    WalkXml(bytes, &read.budget, started, [&levels] { levels.removeLast(); });
    read.read = sawRoot;
    return read;
}

ImportRead ReadXmeml(const QByteArray& bytes, TimecodeRate rate) {
    ImportRead read;
    if (!AcceptXml(bytes, &read.budget))
        return read;
    QStringList path; // the names of the open elements
    bool sawRoot = false;
    // The first sequence's rate and start; its own markers.
    int timebase = 0;
    bool ntsc = false;
    double startFrame = 0;
    struct RawMarker {
        QString name, comment;
        double in = -1, out = -1;
    };
    QVector<RawMarker> markers;
    int sequences = 0;
    const auto started = [&](QXmlStreamReader& xml) {
        const QString name = xml.name().toString();
        sawRoot = sawRoot || name == QLatin1String("xmeml");
        const QString parent = path.value(path.size() - 1);
        const QString grand = path.value(path.size() - 2);
        if (name == QLatin1String("sequence"))
            ++sequences;
        const bool inFirstSequence = sequences == 1;
        // Leaf elements of interest are read whole here.
        if (inFirstSequence && parent == QLatin1String("rate") &&
            grand == QLatin1String("sequence")) {
            const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
            if (name == QLatin1String("timebase"))
                timebase = text.trimmed().toInt();
            else if (name == QLatin1String("ntsc"))
                ntsc = text.trimmed().compare(QStringLiteral("TRUE"), Qt::CaseInsensitive) == 0;
            return Element::ReadWhole;
        }
        if (inFirstSequence && parent == QLatin1String("timecode") &&
            grand == QLatin1String("sequence") && name == QLatin1String("frame")) {
            startFrame =
                xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toDouble();
            return Element::ReadWhole;
        }
        if (inFirstSequence && name == QLatin1String("marker") &&
            parent == QLatin1String("sequence")) {
            if (markers.size() >= MAX_IMPORT_ENTRIES) {
                read.budget.Refuse(ImportLimit::Entries);
                return Element::Stop;
            }
            markers.append(RawMarker());
        }
        if (inFirstSequence && parent == QLatin1String("marker") &&
            grand == QLatin1String("sequence") && !markers.isEmpty()) {
            const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
            RawMarker& m = markers.last();
            bool ok = false;
            if (name == QLatin1String("name"))
                m.name = text;
            else if (name == QLatin1String("comment"))
                m.comment = text;
            else if (name == QLatin1String("in"))
                m.in = text.trimmed().toDouble(&ok), m.in = ok ? m.in : -1;
            else if (name == QLatin1String("out"))
                m.out = text.trimmed().toDouble(&ok), m.out = ok ? m.out : -1;
            return Element::ReadWhole;
        }
        path << name;
        return Element::Open;
    };
    WalkXml(bytes, &read.budget, started, [&path] { path.removeLast(); });
    read.read = sawRoot;
    if (timebase <= 0 || timebase > 1000) {
        for (qsizetype i = 0; i < markers.size() && !read.budget.Passed(); ++i)
            read.LeaveOut({MarkerWhere(i + 1), ImportSkipReason::Unreadable, QString()});
        return read;
    }
    const double fps = ntsc ? timebase * 1000.0 / 1001.0 : timebase;
    for (const RawMarker& m : markers) {
        if (read.budget.Passed())
            break;
        if (m.in < 0) {
            read.LeaveOut({MarkerWhere(read.entries.size() + read.leftOut.size() + 1),
                           ImportSkipReason::Unreadable, QString()});
            continue;
        }
        const double length = m.out > m.in ? m.out - m.in : 0;
        AddMarker(&read, (startFrame + m.in) / fps, length / fps, m.name, m.comment, rate);
    }
    return read;
}

namespace {

// A RationalTime in seconds; false when it is not one.
bool OtioSeconds(const QJsonValue& value, double* seconds) {
    const QJsonObject t = value.toObject();
    const double rate = t.value(QLatin1String("rate")).toDouble();
    const QJsonValue v = t.value(QLatin1String("value"));
    if (!v.isDouble() || !(rate > 0) || !std::isfinite(v.toDouble()))
        return false;
    *seconds = v.toDouble() / rate;
    return true;
}

// The markers of an item whose time 0 (or its source range's start) sits at `at` seconds of
// the timeline.
void OtioMarkers(const QJsonObject& item, double at, TimecodeRate rate, ImportRead* read) {
    double sourceStart = 0;
    OtioSeconds(
        item.value(QLatin1String("source_range")).toObject().value(QLatin1String("start_time")),
        &sourceStart);
    for (const QJsonValue& v : item.value(QLatin1String("markers")).toArray()) {
        if (read->budget.Passed())
            return;
        const QJsonObject m = v.toObject();
        const QJsonObject range = m.value(QLatin1String("marked_range")).toObject();
        double start = 0, duration = 0;
        if (!OtioSeconds(range.value(QLatin1String("start_time")), &start) ||
            !OtioSeconds(range.value(QLatin1String("duration")), &duration) || duration < 0) {
            read->LeaveOut({MarkerWhere(read->entries.size() + read->leftOut.size() + 1),
                            ImportSkipReason::Unreadable, QString()});
            continue;
        }
        AddMarker(read, at + start - sourceStart, duration,
                  m.value(QLatin1String("name")).toString(),
                  m.value(QLatin1String("comment")).toString(), rate);
    }
}

} // namespace

ImportRead ReadOtio(const QByteArray& bytes, TimecodeRate rate) {
    ImportRead read;
    // The whole document is held as a tree, a few hundred bytes for every object or array: a
    // file of nothing but them would take gigabytes. A marker is five of them; braces inside
    // strings count too, which errs towards refusing.
    if (bytes.count('{') + bytes.count('[') > MAX_OTIO_CONTAINERS) {
        read.budget.Refuse(ImportLimit::Entries);
        return read;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject timeline = doc.object();
    if (error.error != QJsonParseError::NoError || !timeline.value(QLatin1String("OTIO_SCHEMA"))
                                                        .toString()
                                                        .startsWith(QLatin1String("Timeline."))) {
        read.read = false;
        return read;
    }
    double origin = 0;
    OtioSeconds(timeline.value(QLatin1String("global_start_time")), &origin);
    const QJsonObject stack = timeline.value(QLatin1String("tracks")).toObject();
    OtioMarkers(stack, origin, rate, &read);
    for (const QJsonValue& t : stack.value(QLatin1String("children")).toArray()) {
        const QJsonObject track = t.toObject();
        OtioMarkers(track, origin, rate, &read);
        // The items of a track follow one another; each starts where the one before ends.
        double at = origin;
        for (const QJsonValue& c : track.value(QLatin1String("children")).toArray()) {
            const QJsonObject item = c.toObject();
            if (item.value(QLatin1String("OTIO_SCHEMA"))
                    .toString()
                    .startsWith(QLatin1String("Transition.")))
                continue;
            OtioMarkers(item, at, rate, &read);
            double length = 0;
            if (!OtioSeconds(item.value(QLatin1String("source_range"))
                                 .toObject()
                                 .value(QLatin1String("duration")),
                             &length))
                break; // where an item's length is unknown, the next one's place is too
            at += length;
        }
    }
    return read;
}
