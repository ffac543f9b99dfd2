#include "object_saver.h"

#include "questions.h"

#include <dbscout/dbscout.h>

#include <QObject>

SaveOutcome saveAskingBeforeReplacing(const std::string& url, std::string& name,
                                      const std::string& arcName, const QByteArray& bytes,
                                      ReplaceQuestion& question, QWidget* parent)
{
    const std::string wanted = name;
    int exists = 0;
    if (SaveObject(name, arcName, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                   parent))
        return SaveOutcome::Saved;
    if (!exists) {
        name = wanted;
        return SaveOutcome::Failed;
    }
    if (!question.answer) {
        QString text =
            QObject::tr("An object named %1 already exists in %2. Replace it with a new revision?")
                .arg(QString::fromLocal8Bit(name), saveLocation(url));
        if (question.forBatch)
            text += ' ' + QObject::tr("The answer holds for every other record of this batch "
                                      "that exists there already.");
        question.answer = Questions::current().askYesNo(parent, question.caption, text);
    }
    if (!*question.answer)
        return SaveOutcome::Declined;
    // exists is 1 now: the second save replaces the object.
    name = wanted;
    if (SaveObject(name, arcName, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                   parent))
        return SaveOutcome::SavedAsRevision;
    name = wanted;
    return SaveOutcome::Failed;
}

namespace {

void appendSaveComment(std::string& url, const std::string& comment)
{
    // The handler reads the comment up to the next '&'; a backslash starts one of its escapes,
    // and control characters could not pass the handler's command line.
    static const char kHex[] = "0123456789ABCDEF";
    url += "&comment=";
    for (const char c : comment) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            url += "\\\\";
        } else if (c == '&' || byte < 0x20 || byte == 0x7f) {
            url += "\\x";
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0f];
        } else {
            url += c;
        }
    }
}

} // namespace

void appendCopiedFrom(std::string& url, const std::string& origin)
{
    // The address's object name comes escaped as the panel put it in the URL (U18266%2e1); the
    // comment is for people.
    appendSaveComment(
        url, "Copied from " +
                 QByteArray::fromPercentEncoding(QByteArray::fromStdString(origin)).toStdString());
}

std::string publicAddress(const std::string& url)
{
    std::string address = url.substr(0, url.find('?'));
    const size_t authority = address.find("://");
    if (authority != std::string::npos) {
        const size_t begin = authority + 3;
        const size_t at = address.find('@', begin);
        if (at != std::string::npos && at < address.find('/', begin))
            address.erase(begin, at + 1 - begin);
    }
    return address;
}

QString saveLocation(const std::string& url)
{
    std::string place = publicAddress(url);
    place.erase(place.rfind('/') + 1);
    return QString::fromLocal8Bit(place);
}
