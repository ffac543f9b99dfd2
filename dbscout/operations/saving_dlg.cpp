#include "operations/saving_dlg.h"

#include "document/status_page.h"
#include "platform/blanks.h"
#include "platform/modal.h"
#include "platform/registered_messages.h"
#include "request/handler_command.h"
#include "request/operation_urls.h"
#include "request/url_params.h"
#include "resources/ids.h"
#include "resources/images.h"
#include "resources/strings.h"
#include "resources/texts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QVBoxLayout>

namespace Dbscout {

namespace {

QLabel* makeStatic(QWidget* parent, int id)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(id));
    return label;
}

} // namespace

std::string savingLocation(const std::string& url)
{
    const size_t lastSlash = url.rfind('/');
    std::string location =
        lastSlash == std::string::npos || lastSlash == 0 ? url : url.substr(0, lastSlash + 1);
    const size_t scheme = location.find("://");
    if (scheme != std::string::npos && scheme > 0) {
        const size_t authority = scheme + 3;
        const size_t pathSlash = location.find('/', authority);
        const size_t at = location.find('@', authority);
        if (pathSlash != std::string::npos && at < pathSlash)
            location.erase(authority, at + 1 - authority);
    }
    ExtractUrlParam(location, "user=");
    ExtractUrlParam(location, "pass=");
    return location;
}

CSavingDlg::CSavingDlg(QWidget* parent, const std::string& name, const std::string& arcName,
                       const std::string& url, const char* data, int dataLength, int exists)
    : CModalDialog(parent, IDD_SAVING), requestUrl(buildSaveUrl(url, exists != 0, arcName)),
      data(data), dataLength(data && dataLength > 0 ? dataLength : 0), arcName(arcName),
      nameLine(Texts::SavingNamePrefix + name),
      locationLine(Texts::SavingLocationPrefix + savingLocation(url))
{
    setWindowTitle(QString::fromLocal8Bit(Texts::SavingCaption));
    // No system menu: the dialog ends by its answer or by Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_name = makeStatic(this, IDC_SAVING_NAME);
    m_location = makeStatic(this, IDC_SAVING_LOCATION);
    m_animation = makeStatic(this, IDC_SAVING_ANIMATION);
    m_animation->setAlignment(Qt::AlignCenter);
    m_movie = new QMovie(animationPath(IDR_SAVING_ANIMATION), QByteArray(), this);
    m_movie->setCacheMode(QMovie::CacheAll);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeButton(kIdCancel, Texts::CancelMnemonic));
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_location);
    layout->addWidget(m_animation);
    layout->addLayout(buttons);
}

CSavingDlg::~CSavingDlg() = default;

void CSavingDlg::OnInitDialog()
{
    m_name->setText(QString::fromLocal8Bit(nameLine));
    m_location->setText(QString::fromLocal8Bit(locationLine));
    // Looked up on every save, so that a handler registered meanwhile is used.
    std::string command;
    if (!LookupHandlerCommand("molb", "put", command))
        return; // nothing to run: only Cancel ends the dialog
    request = std::make_unique<CScoutRequest>(
        std::make_unique<StatusPage>(), this, HandlerProgramPath(command),
        HandlerArguments(command, requestUrl), data, uint32_t(dataLength));
    request->Start();
    m_animation->setMovie(m_movie);
    m_movie->start();
}

void CSavingDlg::done(int result)
{
    // Deleting the job kills a handler that still runs and waits for its worker, so that the
    // caller's bytes are no longer read once the dialog has ended.
    request.reset();
    m_movie->stop();
    QDialog::done(result);
}

void CSavingDlg::keyPressEvent(QKeyEvent* event)
{
    // Without a default button Enter still ends the dialog, as OK would, before any answer.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        accept();
    else
        CModalDialog::keyPressEvent(event);
}

bool CSavingDlg::event(QEvent* event)
{
    if (event->type() == QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE)) {
        auto* job = reinterpret_cast<CScoutRequest*>(static_cast<MessageEvent*>(event)->lParam);
        if (job && job == request.get())
            OnMarkupDone(job);
        return true;
    }
    return CModalDialog::event(event);
}

void CSavingDlg::OnMarkupDone(CScoutRequest* job)
{
    auto* page = static_cast<StatusPage*>(job->response());
    const auto statusIs = [page](const char* expected) {
        return QString::fromLocal8Bit(page->status)
                   .compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
    };
    if (statusIs("OK")) {
        resultCode = 1;
        returnedName = page->linkText;
    } else if (statusIs("EXIST")) {
        resultCode = 2;
        returnedName = page->linkText;
    } else {
        std::string text = page->message;
        if (text.empty())
            text = job->errorText();
        if (text.empty())
            text = LoadString(IDS_UPLOAD_ERROR);
        std::string caption = page->messageTitle;
        if (caption.empty())
            caption = LoadString(IDS_DBSCOUT_ERROR);
        ShowError(this, text, std::string(trimmed(caption, " \"")).c_str());
    }
    accept();
}

} // namespace Dbscout
