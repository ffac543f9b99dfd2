#pragma once
// The serving interface of the molb back ends. The protocol code talks only to Store, so that a
// server back end can sit beside the embedded one; the administration tool also uses StoreAdmin
// (store_admin.h).
//
// Rules shared by every method below:
// - Every method is one transaction: it changes everything it is asked to or nothing. Methods
//   that write begin their transaction so that concurrent writers queue (SQLite: BEGIN
//   IMMEDIATE; a server: READ COMMITTED with row locks taken before the checks), so two requests
//   never both pass the same check; methods that only read see one snapshot.
// - "All or nothing" for several objects: the checks run over every object in the order given
//   (the ids first, then descendants in the order descendantClosure gives), the first object that
//   fails decides the Status, and nothing is changed. The checks themselves are the functions of
//   object_rules.h, and the order of work is SteppedStore's (steps/stepped_store.h) over the
//   primitive steps each back end supplies, so both back ends refuse with the same codes and
//   texts.
// - Codes: BadRequest for malformed input, NotFound for a missing object, subset, user or group
//   (and for an object of another kind than asked, and for a subset the session may not read:
//   such a subset does not exist for it), Denied for what the modes forbid, Conflict for a name
//   that is taken or an object held by someone else, Failure for the store itself.
// - A refusal never names an object the session may not read: object_rules.h's objectLabel says
//   "object ID" instead of its name.

#include "model/access.h"
#include "model/object_kind.h"
#include "model/search_query.h"
#include "model/shared_names.h"

#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace Dbscout::Molb {

struct SubsetInfo
{
    std::string name;
    std::string owner;
    std::string group;
    std::string mode;
    Right right = Right::None; // what the session may do with it (listSubsets fills it)
};

// One object as a listing shows it; ids are decimal and never contain ",".
struct ObjectRow
{
    std::string id;
    std::string owner;
    std::string group;
    std::string mode;
    std::string checkoutBy; // empty while nobody holds it
    ObjectMeta meta;
    Right right = Right::None; // what the session may do with it
};

struct ListingRequest
{
    enum class Scope { Main, Subset, Search };
    Kind kind = Kind::DnaRna;
    Scope scope = Scope::Main;
    std::string subset; // Scope::Subset
    SearchQuery search; // Scope::Search
    std::int64_t start = 0;
    int pageSize = 0;
};

struct Listing
{
    std::int64_t found = 0;
    std::vector<ObjectRow> rows;
};

// An object addressed by the last path segment: "ID", "ID:REVISION", or a name. revision, when
// not 0, names a revision as well (command=fetch&revision=N); it must agree with an ID:REVISION.
struct ObjectRef
{
    std::optional<Kind> kind;
    std::string text;
    int revision = 0;
};

// Several objects by id, as the path of an operation names them ("12,15"). kind, when given,
// must be the kind of every one of them (NotFound otherwise).
struct ObjectSet
{
    std::optional<Kind> kind;
    std::vector<std::int64_t> ids;
};

// Receives the bytes of a fetched object in order; returns false to stop (the reader is gone).
using ByteSink = std::function<bool(const char* data, size_t length)>;

struct FetchRequest
{
    ObjectRef ref;
    bool checkOut = false;    // command=fetch&command=co: take the object before sending it
    bool descendants = false; // descendant=co
};

struct NewObject
{
    Kind kind = Kind::DnaRna;
    std::string arcname;
    std::string comment; // of the revision the bytes become (a save's comment=)
    std::string bytes;
    ObjectMeta meta;        // Name must be set
    bool metaKnown = false; // meta was read from a recognised record, not just named
};

// What a save does to the descendants of the object it replaces (pdmode=).
enum class DescendantMode { Leave, Reconstruct, Disconnect };

struct SaveRequest
{
    NewObject object;
    std::string subset; // empty: add to no subset
    bool force = false; // store a new revision when the name is taken
    DescendantMode descendants = DescendantMode::Leave;
    bool disconnectUnrecalculable = false; // pderror=disconnect
    bool checkIn = false;                  // command=put...&command=ci
    bool checkInDescendants = false;       // descendant=ci
};

// A descendant that a save with DescendantMode::Reconstruct could not recalculate.
struct DescendantNote
{
    std::string label;  // objectLabel of the descendant for the saving session
    std::string reason; // one line: why it could not be recalculated
    bool disconnected = false;
};

struct SaveOutcome
{
    bool exists = false; // the name is taken and force was not given; nothing was stored
    std::string id;
    std::string name;
    int revision = 0;
    int recalculated = 0;              // descendants given a new revision
    std::vector<DescendantNote> notes; // descendants left unprocessed or disconnected
};

// The comment is already decoded (the text as the user typed it).
struct CheckRequest
{
    ObjectSet objects;
    bool descendants = false; // descendant=co / descendant=ci
    std::string comment;
};

class Store
{
public:
    virtual ~Store() = default;

    // Checks the credentials. A store without users accepts every request as its owner; a store
    // with users needs a known user and the right password, and fails with Denied otherwise.
    virtual Status authenticate(bool given, const std::string& user, const std::string& password,
                                Session& session) = 0;
    // As authenticate, for a request that has work to do before anything is committed: a store
    // that checks the password itself may return as soon as it knows the user, leaving the
    // password's verdict to verdict (worked out on another thread). Nothing may be committed
    // or told before the verdict is true. Left invalid: the password was checked already.
    virtual Status authenticateDeferred(bool given, const std::string& user,
                                        const std::string& password, Session& session,
                                        std::future<bool>& verdict)
    {
        verdict = {};
        return authenticate(given, user, password, session);
    }

    // The subsets of the kind that the session may read, by name, each with its right filled.
    // Subsets the session may not read are left out.
    virtual Status listSubsets(const Session& session, Kind kind,
                               std::vector<SubsetInfo>& subsets) = 0;
    // One page; a start beyond the end gives no rows and the full count. Every row's right is
    // filled for the session.
    // - Main and Subset: every object keeps its place, so paging is exact and cheap; a row the
    //   session may not read is passed through redactUnreadable (access.h): no id, name, columns
    //   or holder, only its mode.
    // - Search: objects the session may not read are left out of the rows and the count (a match
    //   would tell something about the hidden name).
    // - Subset: NotFound when the subset does not exist or the session may not read it.
    virtual Status listObjects(const Session& session, const ListingRequest& request,
                               Listing& listing) = 0;
    // Streams the stored bytes of the object (its latest revision unless one is named) after
    // checking that the session may read it (Denied, naming it as the request did). With
    // checkOut the object (and with descendants its descendants) is checked out first, by the
    // rules of checkOut; the hold is committed only after the last byte went to the sink, so a
    // failed fetch holds nothing.
    virtual Status fetchObject(const Session& session, const FetchRequest& request,
                               const ByteSink& sink) = 0;
    // One transaction: everything or nothing is stored, the descendants' treatment and the
    // check-in included.
    // - subset: NotFound when missing or unreadable, Denied unless the session may write it.
    // - an existing name without force: outcome.exists, nothing written, Status pass.
    // - an existing name with force: Denied without write access, Conflict while another user
    //   holds it.
    // - the stored revision (the first of a new object, the next of an existing one) has the
    //   session's user as author, object.arcname and object.comment; recalculated descendants'
    //   revisions have no comment.
    // - descendants (only for an existing object): Disconnect removes the links from the object
    //   to its direct descendants. Reconstruct recalculates each direct descendant whose link
    //   has a derivation that deriveObject (derivation.h) can compute from the new bytes, as a
    //   new revision of it, and goes on with that descendant's own descendants; a descendant
    //   that cannot be recalculated (no derivation, the derivation fails, the session may not
    //   write it, another user holds it) is disconnected with disconnectUnrecalculable, else left
    //   as it is; either way it gets a note. Notes never fail the save.
    // - checkIn: after storing, releases the session's hold on the object (and with
    //   checkInDescendants on the descendants it holds); an object nobody holds is simply saved.
    virtual Status saveObject(const Session& session, const SaveRequest& request,
                              SaveOutcome& outcome) = 0;
    // Runs work, a run of saveObject calls, so that its saves share one commit where the back
    // end gains by it: each save stays whole or nothing (a refused one leaves no trace), the
    // others queue behind work as behind one save, and none of them lasts unless work passes
    // and the commit does. The default runs work as it is: each save its own commit.
    virtual Status inOneCommit(const std::function<Status()>& work) { return work(); }

    // Check-out: the session's user becomes the holder of every object (with descendants, of
    // every descendant, transitively through the links), the comment is kept with the hold.
    // Refusals (mayCheckOut): BadRequest without a user name, NotFound, Denied (read or write),
    // Conflict (held by another user). An object the user holds already stays held (its comment
    // is replaced).
    virtual Status checkOut(const Session& session, const CheckRequest& request) = 0;
    // Check-in: releases the user's hold on every object and records a revision of each, with
    // the current bytes, the user as author, the time and the comment. Refusals (mayCheckIn):
    // NotFound, Denied (read or write), Conflict (not held by this user, naming the holder
    // when there is one). With descendants, every descendant that this user holds is checked in
    // as well; other descendants are left as they are.
    virtual Status checkIn(const Session& session, const CheckRequest& request) = 0;
    // Undo check-out: releases the user's hold on every object without a revision; refusals as
    // for checkIn except that write access is not needed.
    virtual Status undoCheckOut(const Session& session, const ObjectSet& objects) = 0;

    // A new subset of the kind, owned by the session's user and first group, mode kDefaultMode,
    // holding the objects in the order given. BadRequest for a name that checkSubsetName
    // refuses ("MAIN" in any case among them), Conflict for a name the kind has already,
    // NotFound for a missing object (or one of another kind), Denied for an object the session
    // may not read.
    virtual Status createSubset(const Session& session, Kind kind, const std::string& name,
                                const std::vector<std::int64_t>& ids) = 0;
    // Applies the mode change (three of "-", "r", "w", "*"; "*" leaves a position) to every
    // object. BadRequest for a malformed change, then per object (mayChangeMode): NotFound,
    // Denied (not the owner; unreadable ones unnamed), Conflict (somebody holds it).
    virtual Status changeObjectModes(const Session& session, const ObjectSet& objects,
                                     const std::string& modeChange) = 0;
    // The same for one subset of the kind: BadRequest, NotFound (missing or unreadable), Denied
    // (not the owner).
    virtual Status changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                                    const std::string& modeChange) = 0;
};

} // namespace Dbscout::Molb
