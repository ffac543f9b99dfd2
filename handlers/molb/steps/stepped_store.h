#pragma once
// A back end built from primitive steps (object_steps.h): every rule of the serving and the
// administration interfaces that does not depend on the back end is here once, so that the
// embedded and the server store refuse and change the same things. A back end supplies the steps,
// its SQL, and the operations whose work differs in kind (signing in, listings, imports, users).

#include "model/store_admin.h"
#include "steps/object_steps.h"

namespace Dbscout::Molb {

class SteppedStore : public StoreBackEnd, protected ObjectSteps
{
public:
    // Store (stepped_store.cpp)
    Status fetchObject(const Session& session, const FetchRequest& request,
                       const ByteSink& sink) final;
    Status saveObject(const Session& session, const SaveRequest& request,
                      SaveOutcome& outcome) final;
    Status checkOut(const Session& session, const CheckRequest& request) final;
    Status checkIn(const Session& session, const CheckRequest& request) final;
    Status undoCheckOut(const Session& session, const ObjectSet& objects) final;
    Status createSubset(const Session& session, Kind kind, const std::string& name,
                        const std::vector<std::int64_t>& ids) final;
    Status changeObjectModes(const Session& session, const ObjectSet& objects,
                             const std::string& modeChange) final;
    Status changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                            const std::string& modeChange) final;

    // StoreAdmin (stepped_store_admin.cpp)
    Status addSubset(Kind kind, const SubsetInfo& subset,
                     const std::vector<std::int64_t>& ids) final;
    Status objectKind(std::int64_t id, Kind& kind) final;
    Status objectName(std::int64_t id, std::string& name) final;
    Status setObjectOwnership(std::int64_t id, const Ownership& change) final;
    Status setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                              const Ownership& change) final;
    Status addLink(std::int64_t parent, std::int64_t child, const std::string& derivation) final;
    Status addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                      std::vector<std::int64_t>& ids) final;
    Status revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions) final;

private:
    Status storeSaved(const Session& session, const SaveRequest& request, SaveOutcome& outcome);
    // NotFound unless a subset the session may write; Denied when it may not write it.
    Status writableSubset(const Session& session, Kind kind, const std::string& name,
                          std::int64_t& id);
    // chown/chmod: the names must be known where the store has users; the mode change valid.
    Status checkOwnership(const Ownership& change);
    Status applyOwnership(Owned what, std::int64_t id, const std::string& mode,
                          const Ownership& change);
};

} // namespace Dbscout::Molb
