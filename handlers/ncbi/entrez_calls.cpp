#include "entrez_calls.h"

#include "web_page.h"

namespace Dbscout::Ncbi {
namespace {

// Reads an XML answer: not data when it is a web page or does not read; used once when it
// carries NCBI's error, or (for summaries) a record NCBI has no summary of.
template <class Answer>
AnswerJudge xmlJudge(Status (*read)(std::string_view, Answer&), bool (*definite)(const Answer&))
{
    return [read, definite](const WebAnswer& whole) {
        if (std::optional<std::string> page = Web::webPage(whole.body))
            return AnswerJudgement{AnswerUse::NotData, *page};
        Answer answer;
        if (Status status = read(whole.body, answer); !status.ok())
            return Web::judgementOf(status);
        return AnswerJudgement{definite(answer) ? AnswerUse::Keep : AnswerUse::UseOnce, {}};
    };
}

bool searchIsDefinite(const SearchAnswer& answer)
{
    return answer.error.empty();
}

bool summariesAreDefinite(const SummaryAnswer& answer)
{
    for (const DocSum& doc : answer.docs) {
        if (!doc.error.empty())
            return false;
    }
    return answer.error.empty();
}

} // namespace

Status callSearch(WebClient& client, std::string_view query, SearchAnswer& answer, bool fresh)
{
    std::string body;
    Status status = client.answer(query, client.settings().searchCacheSeconds,
                                  xmlJudge(readSearchAnswer, searchIsDefinite), body, fresh);
    return status.ok() ? readSearchAnswer(body, answer) : status;
}

Status callSummaries(WebClient& client, std::string_view query, int maxAgeSeconds,
                     SummaryAnswer& answer)
{
    std::string body;
    Status status = client.answer(query, maxAgeSeconds,
                                  xmlJudge(readSummaryAnswer, summariesAreDefinite), body);
    return status.ok() ? readSummaryAnswer(body, answer) : status;
}

Status callRecords(WebClient& client, RecordText format, std::string_view query, std::string& body,
                   std::vector<FlatRecord>& records)
{
    Status status = client.answer(
        query, client.settings().recordCacheSeconds,
        [format](const WebAnswer& answer) {
            std::vector<FlatRecord> read;
            return Web::judgementOf(readFlatRecords(answer.body, format, read), AnswerUse::UseOnce);
        },
        body);
    return status.ok() ? readFlatRecords(body, format, records) : status;
}

} // namespace Dbscout::Ncbi
