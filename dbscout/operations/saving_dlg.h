#pragma once
// The "Saving..." dialog (6902): writes an object's bytes to the put handler of the molb scheme
// and waits for the handler's status page. It ends by itself when the answer came, or by Cancel.
//
// The bytes are not copied. Whatever ends the dialog (answer, Cancel, Esc, Enter) first stops
// the request and waits for its worker to finish (the handler is killed, so this is short):
// once doModal returns, nothing reads the bytes any more and nothing posts to the dialog.

#include "platform/modal_dialog.h"
#include "request/scout_request.h"

#include <memory>
#include <string>

class QLabel;
class QMovie;

namespace Dbscout {

class CSavingDlg final : public CModalDialog
{
    Q_OBJECT
public:
    // url: the put request as the host got it from a panel in save mode; data: dataLength bytes
    // that must stay valid until doModal returns (null or a negative length send nothing);
    // exists non-zero asks the server to overwrite.
    CSavingDlg(QWidget* parent, const std::string& name, const std::string& arcName,
               const std::string& url, const char* data, int dataLength, int exists);
    ~CSavingDlg() override;

    void done(int result) override;

    int resultCode = 0;       // 1 stored, 2 exists; 0 otherwise
    std::string returnedName; // the answer's link text on 1 and 2
    std::string requestUrl;   // what the handler gets
    const char* data;
    int dataLength;
    std::unique_ptr<CScoutRequest> request; // running request; null before and after
    std::string arcName;
    std::string nameLine;
    std::string locationLine;

protected:
    void OnInitDialog() override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnMarkupDone(CScoutRequest* job);

    QLabel* m_name;
    QLabel* m_location;
    QLabel* m_animation;
    QMovie* m_movie;
};

// The place a save goes to, as the dialog shows it: url up to its last '/', without the user
// name and password of its authority and without user= and pass= parameters.
std::string savingLocation(const std::string& url);

} // namespace Dbscout
