#pragma once
// The panel's own controls. Each carries its id as its objectName ("6913"), so that a host that
// reads or drives one (the query a user typed, the source picked, the name box) finds it with
// findChild<QWidget*>(QString::number(id)) below the panel's window.

namespace Dbscout {

enum PanelControl : int {
    IDC_GO = 6901,
    IDC_STATUS = 6909,
    IDC_DATASOURCE = 6913,
    IDC_QUERY = 6914,
    IDC_LOCAL_COPY = 6920,
    IDC_SOURCE_LABEL = 6991,
    IDC_FILTER_LABEL = 6992,
    IDC_NAME_LABEL = 6993,
    IDC_LIST = 6996,
    IDC_NAME = 6999,
    IDC_TOOLBAR = 59392, // the framework's standard toolbar id
};

} // namespace Dbscout
