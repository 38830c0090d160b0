#pragma once

#include "spectators/besttables.h"
#include "spectators/liveride.h"

#include <QByteArray>

namespace vartemo {

// The live results document, schema 2 (docs/live-results.md): UTF-8 JSON.
// Schema 2 added each kart's "overdue"; readers of schema 1 find all they
// knew where it was.
inline constexpr int kLiveResultsSchema = 2;
// How many rows of each best-twenty table the document carries.
inline constexpr int kLiveBestRows = 10;

// The "best" member: the first rows of both tables without placeholders.
QByteArray BestTablesJson(const BestTables& tables);
// The whole document; bestJson is what BestTablesJson made.
QByteArray LiveResultsJson(const LiveRide& ride, const QByteArray& bestJson, quint64 seq);

// A JSON string literal of the text, quotes included.
void AppendJsonString(QByteArray& out, const QString& text);

} // namespace vartemo
