#pragma once
// Objects computed from a parent object's bytes. A link between parent and descendant may carry a
// derivation, a short text that says how the descendant was made, so that a save of the parent
// can make the descendant again:
//   "cds:N"  the protein translation, by the standard genetic code, of the N-th (from 1) CDS
//            feature of the parent, a GenBank or EMBL nucleotide record.

#include "model/shared_names.h"
#include "model/store_admin.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

// Computes the descendant named name by derivation from parentBytes: fills child's bytes and
// metadata (kind, name, columns). Fails with BadRequest and one line saying why it cannot.
Status deriveObject(const std::string& derivation, std::string_view parentBytes,
                    const std::string& name, NewObject& child);

// One protein per CDS feature of the record that can be translated, named "PARENT_cdsN", with
// its derivation; a remark per CDS that cannot, saying why. BadRequest when the bytes are no
// nucleotide record with a CDS, or when none of its CDS features can be translated (the remarks
// say why).
Status translationsOf(const std::string& parentName, std::string_view parentBytes,
                      std::vector<DerivedObject>& derived, std::vector<std::string>& remarks);

} // namespace Dbscout::Molb
