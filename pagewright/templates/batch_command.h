// How the batch command shows its dialogs: modally, unless replaced (tests
// answer the dialogs in place of a user). The runner returns the dialog's
// result (CDialog::kIdOk or kIdCancel).
#pragma once

#include <functional>

class CDialog;

using BatchDialogRunner = std::function<int(CDialog& dialog)>;
// An empty runner restores DoModal.
void SetBatchDialogRunner(BatchDialogRunner runner);
