#include "spectators/liveresultsjson.h"

#include "core/conversionerror.h"
#include "engine/timetext.h"

namespace vartemo {

namespace {

const char* StateName(LiveRideState state) {
    switch (state) {
    case LiveRideState::Idle: return "idle";
    case LiveRideState::Lights: return "lights";
    case LiveRideState::Running: return "running";
    case LiveRideState::Over: return "over";
    case LiveRideState::Finished: return "finished";
    }
    return "idle";
}

void appendNumber(QByteArray& out, qint64 n) {
    out += QByteArray::number(n);
}

// "nameMs":123,"name":"00:00:123", or both null.
void appendTime(QByteArray& out, const char* name, const std::optional<TimeMs>& t) {
    out += '"';
    out += name;
    out += "Ms\":";
    if (t)
        appendNumber(out, *t);
    else
        out += "null";
    out += ",\"";
    out += name;
    out += "\":";
    if (t)
        AppendJsonString(out, FormatTimeText(*t));
    else
        out += "null";
}

void appendTable(QByteArray& out, const QList<BestTableRow>& rows) {
    out += '[';
    bool first = true;
    for (qsizetype i = 0; i < rows.size() && i < kLiveBestRows; ++i) {
        const BestTableRow& row = rows[i];
        if (IsPlaceholderRow(row))
            continue;
        if (!first)
            out += ',';
        first = false;
        bool rankOk = false;
        const int rank = row.rank.trimmed().toInt(&rankOk);
        out += "{\"rank\":";
        appendNumber(out, rankOk ? rank : i + 1);
        out += ",\"name\":";
        AppendJsonString(out, row.name);
        out += ",\"ms\":";
        // A hand-edited time that is no time text is shown as it is.
        try {
            appendNumber(out, ParseTimeText(row.time));
        } catch (const ConversionError&) {
            out += "null";
        }
        out += ",\"time\":";
        AppendJsonString(out, row.time);
        out += '}';
    }
    out += ']';
}

} // namespace

void AppendJsonString(QByteArray& out, const QString& text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

QByteArray BestTablesJson(const BestTables& tables) {
    QByteArray out;
    out.reserve(2048);
    out += "{\"men\":";
    appendTable(out, tables.men);
    out += ",\"women\":";
    appendTable(out, tables.women);
    out += '}';
    return out;
}

QByteArray LiveResultsJson(const LiveRide& ride, const QByteArray& bestJson, quint64 seq) {
    QByteArray out;
    out.reserve(2048 + bestJson.size());
    out += "{\"schema\":";
    appendNumber(out, kLiveResultsSchema);
    out += ",\"seq\":";
    out += QByteArray::number(seq);
    out += ",\"race\":{\"state\":\"";
    out += StateName(ride.state());
    out += "\",\"unit\":\"";
    out += ride.countsMinutes() ? "minutes" : "laps";
    out += "\",\"length\":";
    appendNumber(out, ride.length());
    out += ",\"clockMs\":";
    appendNumber(out, ride.clockMs());
    out += ",\"clock\":";
    AppendJsonString(out, FormatTimeText(ride.clockMs()));
    out += "},\"karts\":[";
    int position = 0;
    for (const LiveKart& k : ride.standing()) {
        if (position > 0)
            out += ',';
        out += "{\"position\":";
        appendNumber(out, ++position);
        out += ",\"kart\":";
        appendNumber(out, k.kart);
        out += ",\"name\":";
        AppendJsonString(out, k.name);
        out += ",\"laps\":";
        appendNumber(out, k.laps);
        out += ',';
        appendTime(out, "last", k.last);
        out += ',';
        appendTime(out, "best", k.best);
        out += k.overdue ? ",\"overdue\":true}" : ",\"overdue\":false}";
    }
    out += "],\"best\":";
    out += bestJson.isEmpty() ? QByteArray("{\"men\":[],\"women\":[]}") : bestJson;
    out += '}';
    return out;
}

} // namespace vartemo
