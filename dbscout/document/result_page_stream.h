#pragma once
// A result page read in one pass over its text, straight into the page's rows, for the plain form
// in which handlers send their listings. It follows the rules of the tree reading in
// ResultPage::parseTree (first child of a name, all children of a name, text of all descendants
// trimmed at both ends) and takes a page only where that reading would succeed; every other text
// is refused, and ResultPage::parseText reads it through the tree.

namespace Dbscout {

class ResultPage;

// Fills page (a new one) from text. Returns false, with page in no defined state, where the page
// needs the tree reading: not in the plain form, malformed, or missing a required piece. May
// throw what the XML layer throws for a parser that cannot be set up, and std::bad_alloc.
bool streamResultPage(const char* text, ResultPage& page);

} // namespace Dbscout
