#include "object_saver.h"

#include "questions.h"

#include <dbscout/dbscout.h>

#include <QObject>

SaveOutcome saveAskingBeforeReplacing(const std::string& url, std::string& name,
                                      const std::string& arcName, const QByteArray& bytes,
                                      const QString& caption, QWidget* parent)
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
    const QString question =
        QObject::tr("An object named %1 already exists in %2. Replace it with a new revision?")
            .arg(QString::fromLocal8Bit(name), saveLocation(url));
    if (!Questions::current().askYesNo(parent, caption, question))
        return SaveOutcome::Declined;
    // exists is 1 now: the second save replaces the object.
    name = wanted;
    if (SaveObject(name, arcName, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                   parent))
        return SaveOutcome::SavedAsRevision;
    name = wanted;
    return SaveOutcome::Failed;
}

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

QString saveLocation(const std::string& url)
{
    std::string place = url.substr(0, url.find('?'));
    place.erase(place.rfind('/') + 1);
    // Credentials in the authority (user:password@host) are nobody else's business.
    const size_t authority = place.find("://");
    if (authority != std::string::npos) {
        const size_t at = place.find('@', authority);
        if (at != std::string::npos && at < place.find('/', authority + 3))
            place.erase(authority + 3, at - authority - 2);
    }
    return QString::fromLocal8Bit(place);
}
