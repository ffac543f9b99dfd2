#pragma once
// Text forms of records for the object views.

#include "record.h"

#include <QString>

// Residues as a wrapped, numbered block: groups of ten, perLine residues a line (a multiple of
// ten, at least ten), each line led by the 1-based number of its first residue, right-aligned.
//
//     1 MARVSSLLSF CLTLLILFHG
//    21 YAAQQGQQGQ QF
QString formatResidues(const QString& residues, int perLine);

// A feature's qualifiers on one line: "gene=5.8S rRNA; product=5.8S ribosomal RNA; pseudo".
QString featureDetails(const Dbscout::Records::Feature& feature);

// A citation as a formatted reference (HTML): authors, year, title, journal with volume, issue
// and pages, the PMID, then the abstract.
QString citationHtml(const Dbscout::Records::Citation& citation);
