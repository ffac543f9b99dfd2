#include "object_saver.h"

#include "questions.h"

#include <dbscout/dbscout.h>

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QTimer>

namespace {

// SaveObject, telling whether the user cancelled its Saving dialog (Cancel or Esc): the panel
// says nothing then, where it shows why a save failed.
bool save(std::string& name, const std::string& arcName, const std::string& url,
          const QByteArray& bytes, int& exists, QWidget* parent, bool& cancelled)
{
    QObject watch; // ends the look for the dialog with the save
    QTimer::singleShot(0, &watch, [&watch, &cancelled] {
        // The first turn of the dialog's own event loop: the dialog is the modal one.
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            QObject::connect(dialog, &QDialog::rejected, &watch,
                             [&cancelled] { cancelled = true; });
    });
    return SaveObject(name, arcName, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                      parent);
}

} // namespace

SaveOutcome saveAskingBeforeReplacing(const std::string& url, std::string& name,
                                      const std::string& arcName, const QByteArray& bytes,
                                      ReplaceQuestion& question, QWidget* parent)
{
    const std::string wanted = name;
    int exists = 0;
    bool cancelled = false;
    if (save(name, arcName, url, bytes, exists, parent, cancelled))
        return SaveOutcome::Saved;
    if (!exists) {
        name = wanted;
        return cancelled ? SaveOutcome::Cancelled : SaveOutcome::Failed;
    }
    const QString location = question.location.isEmpty() ? saveLocation(url) : question.location;
    if (!askBeforeReplacing(question, QString::fromLocal8Bit(name), location, parent))
        return SaveOutcome::Declined;
    // exists is 1 now: the second save replaces the object.
    name = wanted;
    if (save(name, arcName, url, bytes, exists, parent, cancelled))
        return SaveOutcome::SavedAsRevision;
    name = wanted;
    return cancelled ? SaveOutcome::Cancelled : SaveOutcome::Failed;
}

bool askBeforeReplacing(ReplaceQuestion& question, const QString& name, const QString& location,
                        QWidget* parent)
{
    if (!question.answer) {
        QString text =
            QObject::tr("An object named %1 already exists in %2. Replace it with a new revision?")
                .arg(name, location);
        if (question.forBatch)
            text += ' ' + QObject::tr("The answer holds for every other record of this batch "
                                      "that exists there already.");
        question.answer = Questions::current().askYesNo(parent, question.caption, text);
    }
    return *question.answer;
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
