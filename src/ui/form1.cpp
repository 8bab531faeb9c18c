#include "ui/form1.h"

#include <algorithm>
#include <functional>

#include "platform/display_text.h"
#include "platform/file_lock.h"
#include "platform/portable/exceptions.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/client_cfg.h"
#include "settings/server_cfg.h"
#include "settings/settings_source.h"

namespace tarn {

using namespace form1;

namespace {

constexpr char kClosingMessage[] =
    "As configura\xE7\xF5" "es s\xF3 ter\xE3o efeito se os aplicativos (server ou client) forem reiniciados";
constexpr char kCacheCleared[] = "Cache limpo";
constexpr char kStart[] = "Iniciar";
constexpr char kStop[] = "Parar";
constexpr char kUnreadableFile[] = "N\xE3o foi poss\xEDvel ler ";
constexpr char kUnreadableFileNotSaved[] =
    "A janela mostra os valores padr\xE3o e OK n\xE3o gravar\xE1 as configura\xE7\xF5" "es; feche a janela e "
    "abra-a de novo quando o arquivo puder ser lido.";
constexpr char kChangedFile[] = "O arquivo ";
constexpr char kChangedFileQuestion[] =
    " foi alterado por outro programa depois que esta janela o leu. Gravar por cima dessas altera\xE7\xF5" "es?";
constexpr char kWaitingCaption[] = "Configura\xE7\xF5" "es - aguardando outro programa que est\xE1 salvando ";

// The busy cursor for as long as the object lives.
class BusyCursor {
 public:
  explicit BusyCursor(Toolkit& toolkit) : toolkit_(toolkit) { toolkit_.BeginBusyCursor(); }
  ~BusyCursor() { toolkit_.EndBusyCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Toolkit& toolkit_;
};

// While OK's save waits for another program that is saving the same
// folder, the caption says so and the busy cursor shows; both go back when
// the save ends, whichever way.
class SaveWaitNotice {
 public:
  SaveWaitNotice(WindowView& view, Toolkit& toolkit, std::function<void()> restore_caption)
      : view_(view), toolkit_(toolkit), restore_caption_(std::move(restore_caption)), before_(CurrentLockWait()) {
    LockWait wait = before_;
    wait.notice = [this](const std::string& path) { Show(path); };
    SetLockWait(std::move(wait));
  }
  ~SaveWaitNotice() {
    SetLockWait(before_);
    if (!busy_) return;
    toolkit_.EndBusyCursor();
    restore_caption_();
  }
  SaveWaitNotice(const SaveWaitNotice&) = delete;
  SaveWaitNotice& operator=(const SaveWaitNotice&) = delete;

 private:
  void Show(const std::string& path) {
    busy_ = true;
    toolkit_.BeginBusyCursor();
    view_.SetCaption(kWaitingCaption, path);
    toolkit_.ShowChanges();
  }

  WindowView& view_;
  Toolkit& toolkit_;
  std::function<void()> restore_caption_;
  LockWait before_;
  bool busy_ = false;
};

}  // namespace

TForm1::TForm1(TApplication& application, Form1Options options)
    : application_(application), options_(std::move(options)) {
  view_ = application_.GetToolkit().CreateWindowView(Form1Window(), Form1Layout(),
                                                     [this](ControlId control) { Dispatch(control); });
  FormCreate();
}

void TForm1::Dispatch(ControlId control) {
  EventHandler handler = Form1Layout()[static_cast<size_t>(control)].handler;
  if (handler == nullptr) return;
  try {
    (static_cast<EventTarget*>(this)->*handler)();
  } catch (...) {
    application_.ShowException(std::current_exception());
  }
}

void TForm1::FormCreate() {
  service_ = ServiceLibrary::Bind(options_.service_library);
  if (service_.Bound()) {
    ShowServiceState();
    view_->SetShown(Bevel2, true);
    view_->SetShown(Button4, true);
    view_->SetShown(CheckBox8, true);
  }
  LoadClientPage();
  // Resolved against the working directory, not the executable's.
  view_->SetShown(TabSheet1, FileExists("tarnbroker.exe"));
  if (view_->Shown(TabSheet1)) {
    LoadServerPage();
    LoadFields(ServerPageFields(), FieldLoad::kWhenOpened);
  }
  ShowCaption();
  for (const std::string& file : PageFiles()) {
    if (std::optional<std::string> reason = LoadedState(file).unreadable) {
      application_.ShowMessage(std::string(kUnreadableFile) + DisplayPath(file) + ": " + *reason + ". " +
                               kUnreadableFileNotSaved);
    }
  }
}

std::vector<std::string> TForm1::PageFiles() const {
  std::vector<std::string> files{SettingsFilePath(options_.settings_dir, kClientSection)};
  if (view_->Shown(TabSheet1)) files.push_back(SettingsFilePath(options_.settings_dir, kServerSection));
  return files;
}

void TForm1::ShowCaption() { view_->SetCaption(std::string(kForm1Caption) + " - ", options_.settings_dir); }

void TForm1::LoadFields(std::span<const PageField> fields, FieldLoad when) {
  for (const PageField& field : fields) {
    if (field.load == when) LoadPageField(*view_, field);
  }
}

void TForm1::LoadClientPage() {
  LoadFields(ClientPageFields(), FieldLoad::kEveryLoad);
  view_->SetChecked(CheckBox2, !view_->Text(Edit4).empty());
}

void TForm1::LoadServerPage() { LoadFields(ServerPageFields(), FieldLoad::kEveryLoad); }

void TForm1::ValidateFields(std::span<const PageField> fields) const {
  for (const PageField& field : fields) {
    if (field.unit == FieldUnit::kScaled) StoredFieldText(*view_, field);
  }
}

void TForm1::SaveClientPage(TIniFile& file) { SavePageFields(*view_, ClientPageFields(), file); }

void TForm1::SaveServerPage(TIniFile& file) { SavePageFields(*view_, ServerPageFields(), file); }

void TForm1::Button1Click() {
  // Whenever the server page is offered, not only when it is in front, so
  // that its edits are not lost after a look at "Cliente".
  bool server_page = view_->Shown(TabSheet1);
  ValidateFields(ClientPageFields());
  if (server_page) ValidateFields(ServerPageFields());
  // The defaults shown for a file that could not be read must not take the
  // place of what it holds.
  for (const std::string& file : PageFiles()) {
    if (std::optional<std::string> reason = LoadedState(file).unreadable) {
      throw IniWriteError(file, EWriteRefused(DisplayPath(file) + " could not be read when the window opened: " +
                                              *reason));
    }
  }

  if (view_->Text(Edit5).empty()) view_->SetText(Edit5, "0");
  if (!view_->Checked(CheckBox2)) view_->SetText(Edit4, "");
  // Both pages are put in memory first, so that an entry refused there
  // writes neither file; then each file is replaced once.
  TIniFile client(SettingsFilePath(options_.settings_dir, kClientSection));
  SaveClientPage(client);
  TIniFile server(SettingsFilePath(options_.settings_dir, kServerSection));
  // Another window or program may have saved a file since this window read
  // it: its change is not reverted without the user's word, nor by a save
  // that comes after the question.
  for (TIniFile* file : server_page ? std::vector{&client, &server} : std::vector{&client}) {
    // A folder in a file's place is no file, as the loads saw it.
    std::optional<FileIdentity> now =
        FileExists(file->FileName()) ? IdentifyFile(file->FileName()) : std::optional<FileIdentity>();
    if (now != LoadedState(file->FileName()).read &&
        !application_.Ask(kChangedFile + DisplayPath(file->FileName()) + kChangedFileQuestion)) {
      return;
    }
    file->Expect(now);
  }
  if (server_page) {
    // Once the file exists the registry is no longer read, so the server
    // values that came from it go into the new file first.
    if (!FileExists(server.FileName())) {
      for (const StoredText& stored : TtarnServerCfg::RegistryTexts()) {
        server.WriteString(kServerSection.name, stored.key, stored.text);
      }
    }
    SaveServerPage(server);
  }
  {
    SaveWaitNotice waiting(*view_, application_.GetToolkit(), [this] { ShowCaption(); });
    client.UpdateFile();
    try {
      if (server_page) server.UpdateFile();
    } catch (const EIniFileException& error) {
      throw EIniFileException(error.Message() + "; " + DisplayPath(client.FileName()) + " was saved");
    }
  }
  application_.ShowMessage(kClosingMessage);
  view_->Close();
}

void TForm1::Button2Click() { view_->Close(); }

void TForm1::Button3Click() {
  // Whether the key existed or not, the cache is now empty. A hive that
  // cannot be read or written raises instead.
  TRegistry registry;
  registry.DeleteKey(std::string(kSettingsKey) + "\\LOCATIONSERVICES");
  application_.ShowMessage(kCacheCleared);
}

void TForm1::ShowServiceState() {
  view_->SetText(Button4, service_.ServiceIsRunning(kServiceName) ? kStop : kStart);
}

void TForm1::Button4Click() {
  if (!service_.Bound()) return;
  // The action follows the service's present state, not a stale caption.
  ShowServiceState();
  {
    BusyCursor busy(application_.GetToolkit());
    if (view_->Text(Button4) == kStart) {
      service_.Start(kServiceName);
    } else {
      service_.Stop(kServiceName);
    }
    CheckServiceError();
  }
  ShowServiceState();
}

void TForm1::CheckBox8Click() { LoadServerPage(); }

void TForm1::CheckServiceError() {
  // Cleared first, so that a library that reports a failure without writing
  // its text shows nothing rather than stale bytes.
  ServiceErrorBuffer buffer{};
  if (!service_.GetLastSvcError(buffer)) return;
  throw Exception(std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0')));
}

}  // namespace tarn
