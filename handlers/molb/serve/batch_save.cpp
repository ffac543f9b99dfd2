// command=put&batch=yes: many saves in one run of the handler.

#include "serve/commands.h"

#include "model/password.h"
#include "protocol/batch_frames.h"
#include "protocol/molb_pages.h"
#include "test_hooks/test_pause.h"
#include "utf8.h"

#include <chrono>
#include <csignal>
#include <future>
#include <set>
#include <strings.h>

namespace Dbscout::Molb {
namespace {

volatile std::sig_atomic_t g_stopAsked = 0;

// How long the saves that share a commit may take: long enough that the commit's writes and
// sync cost little beside the saves, short enough that a host's progress moves and other
// writers of the store wait no longer than for a few saves.
constexpr auto kCommitEvery = std::chrono::milliseconds(250);
// And at most so many saves: a commit's answer lines wait in memory, and a store that saves
// quickly still tells its progress in steps.
constexpr size_t kMostPerCommit = 250;

void appendLink(std::string& line, const std::string& href, const std::string& name)
{
    line += "<a href=\"";
    Handlers::appendXmlText(line, href);
    line += "\">";
    Handlers::appendXmlText(line, name);
    line += "</a>";
}

std::string refusedLine(const std::string& message)
{
    std::string line = "<li class=\"REFUSED\">";
    Handlers::appendXmlText(line, message);
    return line + "</li>\n";
}

// One object's line of the answer: stored (OK, with the revision it became), its name taken
// (EXIST), or not stored and why (REFUSED; STOPPED where the batch did not reach it).
std::string objectLine(const RequestUrl& url, Kind kind, const Status& status,
                       const SaveOutcome& outcome)
{
    if (!status.ok())
        return refusedLine(status.message());
    std::string line =
        outcome.exists ? "<li class=\"EXIST\">"
                       : "<li class=\"OK\" revision=\"" + std::to_string(outcome.revision) + "\">";
    appendLink(line, savedObjectUrl(url, kind, outcome.id), outcome.name);
    for (const std::string& remark : descendantRemarks(outcome)) {
        line += "<p>";
        Handlers::appendXmlText(line, remark);
        line += "</p>";
    }
    return line + "</li>\n";
}

constexpr std::string_view kStoppedLine =
    "<li class=\"STOPPED\">Not stored: the batch was stopped before it.</li>\n";

// The password's verdict, which the saves do not wait for: awaited before the first commit and
// the answer's first byte, then kept.
class PasswordGate
{
public:
    explicit PasswordGate(std::future<bool>& verdict) : m_verdict(verdict) {}
    bool passed()
    {
        if (m_verdict.valid())
            m_passed = m_verdict.get();
        return m_passed;
    }

private:
    std::future<bool>& m_verdict;
    bool m_passed = true; // no verdict to wait for: the store checked the password already
};

// newsubset=yes: the subset each object joins, made first for every kind that lacks it, as
// command=cs makes subsets. A subset that is there already (Conflict), or cannot be made, is
// left to each object's own check, as a single save checks it.
void makeSubsets(Store& store, const Session& session, const RequestUrl& url,
                 const std::vector<BatchObject>& objects)
{
    const std::string subset = url.query.value_or(std::string());
    if (subset.empty() || strcasecmp(subset.c_str(), "MAIN") == 0)
        return;
    std::set<Kind> kinds;
    for (const BatchObject& object : objects) {
        if (kinds.insert(object.kind).second)
            static_cast<void>(store.createSubset(session, object.kind, subset, {}));
    }
}

// Saves objects from first on in one commit of the store, for as long as kCommitEvery allows
// (one at least), and says per object what became of it. Returns the place after the last one.
size_t saveShared(Store& store, const Session& session, const RequestUrl& url,
                  const PreparedBatch& batch, size_t first, PasswordGate& password,
                  std::string& lines)
{
    size_t next = first;
    const size_t count = batch.objects.size();
    const Status shared = store.inOneCommit([&] {
        const auto began = std::chrono::steady_clock::now();
        next = first; // a back end may run this again from the start
        lines.clear();
        if (first == 0 && url.newSubset)
            makeSubsets(store, session, url, batch.objects);
        while (next < count && !g_stopAsked &&
               (next == first || (next - first < kMostPerCommit &&
                                  std::chrono::steady_clock::now() - began < kCommitEvery))) {
            if (next != first)
                pauseForTest("batch-save"); // a save under way in a commit holding others
            SaveOutcome outcome;
            Status status = batch.checks[next];
            if (status.ok())
                status = store.saveObject(session, batch.saves[next], outcome);
            // The store itself failing ends the commit: nothing of it may be told as stored.
            if (status.code() == ErrorCode::Failure)
                return status;
            lines += objectLine(url, batch.objects[next].kind, status, outcome);
            ++next;
        }
        return password.passed() ? Status::pass() : wrongUserOrPassword();
    });
    if (shared.ok())
        return next;
    lines.clear();
    const size_t end = std::max(next, first + 1);
    for (size_t i = first; i < end; ++i)
        lines += refusedLine("Not stored: " + shared.message());
    return end;
}

} // namespace

void askBatchStop()
{
    g_stopAsked = 1;
}

PreparedBatch prepareBatch(const RequestUrl& url, std::string_view input)
{
    PreparedBatch batch;
    if (url.kind || !url.last.empty()) {
        batch.status =
            Status::fail(ErrorCode::BadRequest,
                         "A batch save names only the database in its address, as in "
                         "molb://local/DATABASE?command=put&batch=yes; each object's header "
                         "names its kind and name.");
        return batch;
    }
    if (batch.status = parseBatchFrames(input, batch.objects); !batch.status.ok())
        return batch;
    for (const BatchObject& object : batch.objects) {
        batch.checks.push_back(prepareSave(url,
                                           SavedObject{object.kind, object.name, object.arcname,
                                                       object.comment, object.force || url.force},
                                           std::string(object.bytes), batch.saves.emplace_back()));
    }
    return batch;
}

Status serveBatchSave(Store& store, const Session& session, const RequestUrl& url,
                      const PreparedBatch& batch, std::future<bool>& verdict, int out,
                      bool& started)
{
    started = false;
    PasswordGate password(verdict);
    if (!batch.status.ok())
        return password.passed() ? batch.status : wrongUserOrPassword();
    std::string page = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html version=\"";
    page += kPageVersion;
    page += "\"><head><title>OK</title></head>\n<body id=\"BATCH\"><ol>\n";
    // Each object's line goes out once its commit is done, so a batch cut off at any point has
    // told only what is stored; when the reader is gone, nothing more is saved. Nothing at all
    // is committed or written before the password matched.
    bool reading = true;
    for (size_t next = 0; next < batch.objects.size();) {
        std::string lines;
        if (!reading || g_stopAsked) {
            for (; next < batch.objects.size(); ++next)
                lines += kStoppedLine;
        } else {
            next = saveShared(store, session, url, batch, next, password, lines);
        }
        if (!password.passed())
            return wrongUserOrPassword();
        if (!started) {
            started = true;
            reading = writeAll(out, page);
        }
        reading = reading && writeAll(out, lines);
    }
    if (!reading || !writeAll(out, std::string("</ol></body></html>\n")))
        return Status::fail(ErrorCode::Failure, "The answer to the batch could not be written.");
    return Status::pass();
}

} // namespace Dbscout::Molb
