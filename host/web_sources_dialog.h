#pragma once
// Settings > Web Sources: what the handlers of web data sources need from each user, written to
// the settings store where each handler reads it at every request (the user's values over the
// computer's). One tab per service. NCBI's: the user's own API key (NCBI asks that every user
// of an application bring their own), the e-mail address NCBI may write to about the requests,
// and the longest a search may take. EBI's: the e-mail address UniProt asks for, the services'
// addresses (a mirror) and the longest a request may take. A text left empty leaves the computer's
// value, or the handler's default, in force; a number is written once the user changed it, or where
// the user had one already.

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QSpinBox;

class WebSourcesDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit WebSourcesDialog(QWidget* parent = nullptr);

    // Writes the fields and closes; stays open and says why when a field holds what its service
    // refuses (then nothing is written) or the settings store refused a value.
    void accept() override;

    struct Setting;
    struct Service;

private:
    struct Field
    {
        const Service* service;
        const Setting* setting;
        bool stored = false; // the user's own value exists
        QLineEdit* text = nullptr;
        QSpinBox* number = nullptr;
        int shownNumber = 0;
    };

    QWidget* servicePage(const Service& service);
    QString refusal(const Field& field) const;
    QString write(const Field& field) const;

    std::vector<Field> m_fields;
    QLabel* m_problem = nullptr;
};
