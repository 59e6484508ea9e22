#include "mail/frm_send_mail.h"

#include "toolkit/runtime_error.h"

namespace vellum::mail {

FrmSendMail::FrmSendMail(SendMailControls controls, SendMailServices services)
    : c_(controls), s_(services) {}

void FrmSendMail::Form_Load() {
    shell::SetEdgeStyle(s_.windows, c_.cmdSendMail, true);
    const std::string& defDir = s_.settings.defDir;
    // Each assignment moves the lists after it through their change events.
    c_.drivePDF.SetDrive(defDir.substr(0, 2));
    c_.dirPDF.SetPath(defDir);
}

void FrmSendMail::drivePDF_Change() {
    try {
        c_.dirPDF.SetPath(c_.drivePDF.Drive());
    } catch (const toolkit::RuntimeError& e) {
        s_.msgBox.Show(e.Description(), "Error!", toolkit::Icon::Error);
    }
}

void FrmSendMail::dirPDF_Change() {
    try {
        c_.filePDF.SetPath(c_.dirPDF.Path());
    } catch (const toolkit::RuntimeError& e) {
        s_.msgBox.Show(e.Description(), "Error!", toolkit::Icon::Error);
    }
}

void FrmSendMail::filePDF_DblClick() {
    // A root's Path already ends in "\"; the doubled separator still names the file.
    s_.shell.Open(c_.filePDF.Path() + "\\" + c_.filePDF.FileName());
}

void FrmSendMail::cmdSendMail_Click() {
    std::string paths;
    std::string names;
    const int count = c_.filePDF.ListCount();
    for (int i = 0; i < count; ++i) {
        if (!c_.filePDF.Selected(i)) continue;
        names += c_.filePDF.List(i) + ";";
        paths += c_.filePDF.Path() + "\\" + c_.filePDF.List(i) + ";";
    }
    if (paths.empty()) {
        s_.msgBox.Show("No File selected for sending.", "Check!", toolkit::Icon::Information);
        return;
    }
    SendDocuments(s_.mapi, s_.msgBox, c_.hwnd, ";", paths, names);
}

}  // namespace vellum::mail
