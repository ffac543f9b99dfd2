#include "batch_saver.h"

#include "copy_place.h"
#include "object_saver.h"

#include <QUrl>
#include <QXmlStreamReader>

BatchSaver::BatchSaver(QObject* parent) : QObject(parent)
{
    connect(&m_handler, &ObjectFetcher::finished, this,
            [this](const QByteArray& bytes, const QString& error) {
                emit finished(readAnswer(bytes, m_count, error));
            });
}

void BatchSaver::save(const CopyPlace& place, const std::vector<BatchCopy>& copies, bool force)
{
    m_count = copies.size();
    m_handler.fetch(place.batchSaveUrl(force), "put", frames(copies));
}

QByteArray BatchSaver::frames(const std::vector<BatchCopy>& copies)
{
    QByteArray input = "molb-batch 1\n";
    for (const BatchCopy& copy : copies) {
        // The tail of the URL a single copy is saved with: the same name, archive name and
        // comment.
        std::string header =
            copy.kind + "/" +
            QUrl::toPercentEncoding(QString::fromLocal8Bit(copy.name)).toStdString() + "?arcname=" +
            QUrl::toPercentEncoding(QString::fromLocal8Bit(copy.origin)).toStdString();
        appendCopiedFrom(header, copy.origin);
        input += QByteArray::number(copy.bytes.size()) + ' ' + QByteArray::fromStdString(header) +
                 '\n' + copy.bytes + '\n';
    }
    return input;
}

std::vector<SavedCopy> BatchSaver::readAnswer(const QByteArray& answer, size_t count,
                                              const QString& error)
{
    std::vector<SavedCopy> saved(count);
    for (SavedCopy& copy : saved)
        copy.why = error;
    size_t next = 0;
    QXmlStreamReader xml(answer);
    // html > body > ol > li, one per record in order; a line the answer was cut off in tells
    // nothing.
    while (next < count && !xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("li"))
            continue;
        const QString status = xml.attributes().value("class").toString();
        const int revision = xml.attributes().value("revision").toInt();
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (xml.hasError())
            break;
        SavedCopy& copy = saved[next++];
        copy.why.clear();
        copy.revision = revision;
        if (status == QLatin1String("OK") && revision > 0)
            copy.result = SavedCopy::Result::Stored;
        else if (status == QLatin1String("EXIST"))
            copy.result = SavedCopy::Result::Exists;
        else if (status == QLatin1String("STOPPED"))
            copy.result = SavedCopy::Result::Stopped;
        else {
            copy.result = SavedCopy::Result::Refused;
            copy.why = text.simplified();
        }
    }
    return saved;
}
