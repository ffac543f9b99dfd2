#pragma once
// The feature table that GenBank, EMBL and UniProt share: once the line prefix is gone ("FT   "
// or five blanks), the key stands in the first 16 columns and the location and qualifiers from
// column 16 on. Old UniProt lines give "KEY  FROM  TO  description" instead.

#include "record.h"

class FeatureTableReader
{
public:
    explicit FeatureTableReader(QList<Feature>& features) : m_features(features) {}

    // One line of the table without its prefix.
    void addLine(const QString& line);

private:
    void addValue(const QString& text);

    QList<Feature>& m_features;
    bool m_inLocation = false; // the location continues on the next line
    bool m_quoteOpen = false;  // a quoted qualifier value continues on the next line
};
