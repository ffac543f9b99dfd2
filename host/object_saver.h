#pragma once
// Saves an object's bytes through the panel's SaveObject (its modal "Saving..." dialog) and,
// when the name is taken there, asks before replacing the object with a new revision. File >
// Save to Database and the local copies of the "cc: to Local DB" box both save this way.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

class QWidget;

enum class SaveOutcome {
    Saved,           // stored under a new name
    SavedAsRevision, // the name was taken; the user let the save replace it
    Declined,        // the name was taken; the user kept the stored object, nothing was written
    Failed,          // the panel showed why
    Cancelled,       // the user cancelled the Saving dialog (after the store took it, or not)
};

// The question asked when the name is taken. In a batch the first answer holds for the rest, so
// that copying many records asks once.
struct ReplaceQuestion
{
    QString caption;
    bool forBatch = false;
    std::optional<bool> answer; // given once asked (or beforehand)
    QString location;           // the place as the user names it; empty: its address
};

// Whether to replace the object named name in location with a new revision: the question's
// answer, asked now unless it was given.
bool askBeforeReplacing(ReplaceQuestion& question, const QString& name, const QString& location,
                        QWidget* parent);

// url: a put URL (a save-mode panel's GetURL); name: the name it stores under, which comes back
// as the server's name for the stored (or, when declined, the existing) object; arcName: the
// archive name kept with the revision.
SaveOutcome saveAskingBeforeReplacing(const std::string& url, std::string& name,
                                      const std::string& arcName, const QByteArray& bytes,
                                      ReplaceQuestion& question, QWidget* parent);

// Appends to a put URL the revision's comment that says where a record came from: "Copied
// from" and its address as people read it, the object name unescaped (U18266.1, not U18266%2e1);
// in the handler's escapes (comment=).
void appendCopiedFrom(std::string& url, const std::string& origin);

// An object's address as others may read it: the URL without its query (listing text, user and
// password, commands) and without credentials in its authority ("user:password@").
std::string publicAddress(const std::string& url);
// Where a put URL saves to, as a user reads it: its public address up to its last '/'
// ("molb://local/lab/dnarna/").
QString saveLocation(const std::string& url);
