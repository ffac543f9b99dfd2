#include "record.h"

#include "records/records.h"

namespace Records = Dbscout::Records;

QString shown(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

ObjectRecord readObjectRecord(const QByteArray& bytes)
{
    ObjectRecord object;
    const std::string_view text(bytes.constData(), size_t(bytes.size()));
    Records::RecordText read;
    if (!Records::readRecords(text, read).ok() || read.entries.empty()) {
        object.text = QString::fromUtf8(bytes);
        return object;
    }
    const Records::ReadEntry& first = read.entries.front();
    object.recordCount = int(read.entries.size());
    if (!first.outcome.ok()) {
        object.text = QString::fromUtf8(bytes);
        object.problem = QStringLiteral("%1: %2").arg(
            QString::fromLatin1(Records::formatName(read.format)), shown(first.outcome.text()));
        return object;
    }
    object.record = first.record;
    // In the order of RecordKind.
    static constexpr ObjectRecord::Kind kKinds[] = {
        ObjectRecord::Kind::Sequence, ObjectRecord::Kind::Sequence, ObjectRecord::Kind::Citation,
        ObjectRecord::Kind::Blast};
    object.kind = kKinds[size_t(object.record.kind)];
    return object;
}

QString recordName(const ObjectRecord& object)
{
    const Records::Record& record = object.record;
    switch (object.kind) {
    case ObjectRecord::Kind::Sequence:
    case ObjectRecord::Kind::Citation:
        return shown(record.name);
    case ObjectRecord::Kind::Blast:
        return (shown(record.blast.program) + ' ' +
                shown(record.blast.queryDefinition).section(' ', 0, 0))
            .trimmed();
    case ObjectRecord::Kind::Text:
        break;
    }
    return {};
}

int dataTypeOf(const ObjectRecord& object)
{
    switch (object.kind) {
    case ObjectRecord::Kind::Sequence:
        return object.record.kind == Records::RecordKind::Protein ? 2 : 1;
    case ObjectRecord::Kind::Citation:
        return 14;
    case ObjectRecord::Kind::Blast:
        return 15;
    case ObjectRecord::Kind::Text:
        break;
    }
    return 0;
}
