#include "app/editor/config_editor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QTime>
#include <QTimeEdit>
#include <algorithm>

#include "app/editor/config_group.h"
#include "app/editor/ip_address_edit.h"
#include "app/editor/limited_line_edit.h"
#include "app/editor/radio_group.h"
#include "app/editor/spin_edit.h"

namespace ethconf {
namespace {

constexpr int kGap = 6;                // between the groups
constexpr int kNarrowFieldWidth = 76;  // spin and time fields
constexpr int kLooseLabelWidth = 110;

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QGridLayout* MakeGrid(QWidget* group) {
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  grid->setColumnStretch(1, 1);
  return grid;
}

// Space a group has beyond its rows stays below them.
void EndGrid(QGridLayout* grid) {
  grid->setRowStretch(grid->rowCount(), 1);
}

// A label and its field on the next row of a group; narrow fields keep their own width.
template <class W>
W* AddRow(QGridLayout* grid, const char* labelName, const QString& caption, W* field, bool narrow) {
  QWidget* group = grid->parentWidget();
  auto* label = Named(new QLabel(caption, group), labelName);
  label->setBuddy(field);
  const int row = grid->rowCount();
  grid->addWidget(label, row, 0);
  if (narrow) {
    grid->addWidget(field, row, 1, Qt::AlignLeft);
  } else {
    grid->addWidget(field, row, 1);
  }
  return field;
}

TLimitedLineEdit* MakeText(QWidget* group, const char* name, int maxChars) {
  return Named(new TLimitedLineEdit(maxChars, group), name);
}

TSpinEdit* MakeSpin(QWidget* group, const char* name, const TSpinLimits& limits) {
  auto* spin = Named(new TSpinEdit(limits, group), name);
  spin->setFixedWidth(kNarrowFieldWidth);
  return spin;
}

TIpAddressEdit* MakeAddress(QWidget* group, const char* name) {
  return Named(new TIpAddressEdit(group), name);
}

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}
std::string ToUtf8(const QString& text) {
  return text.toStdString();
}

}  // namespace

TConfigEditor::TConfigEditor(QWidget* window, const QRect& area) {
  CreateConfigGroup(window);
  CreateRestGroup(window);
  CreateNtpGroup(window);
  CreatePeriodGroup(window);
  CreateLooseFields(window);
  LayOut(area);

  const TEditorValues defaults;
  ShowUpToNtpPort(defaults);
  ShowFromSyncTime(defaults);
  m_speRESTInterval->SetValue(defaults.restInterval);
  QObject::connect(m_chbRESTInterval, &QCheckBox::toggled, m_chbRESTInterval,
                   [this] { chbRESTIntervalClick(); });
  chbRESTIntervalClick();
}

void TConfigEditor::CreateConfigGroup(QWidget* window) {
  m_jvgbConfig = Named(new TConfigGroup(QStringLiteral("Połączenie:"), window), "jvgbConfig");
  QGridLayout* grid = MakeGrid(m_jvgbConfig);
  m_rgConnectionType =
      Named(new TRadioGroup(QStringLiteral("Typ połączenia:"),
                            {QStringLiteral("DHCP"), QStringLiteral("Statyczne IP")}, m_jvgbConfig),
            "rgConnectionType");
  grid->addWidget(m_rgConnectionType, 0, 0, 1, 2);
  m_jipaIP = AddRow(grid, "lblIP", QStringLiteral("Adres IP:"), MakeAddress(m_jvgbConfig, "jipaIP"),
                    false);
  m_jipaMask = AddRow(grid, "lblMask", QStringLiteral("Maska podsieci:"),
                      MakeAddress(m_jvgbConfig, "jipaMask"), false);
  m_jipaGateway = AddRow(grid, "lblGateway", QStringLiteral("Brama sieciowa:"),
                         MakeAddress(m_jvgbConfig, "jipaGateway"), false);
  m_jipaDNS = AddRow(grid, "lblDNS", QStringLiteral("Serwer DNS:"),
                     MakeAddress(m_jvgbConfig, "jipaDNS"), false);
  m_spePort = AddRow(grid, "lblPort", QStringLiteral("Odczyt bezp. - port TCP:"),
                     MakeSpin(m_jvgbConfig, "spePort", kPortLimits), true);
  EndGrid(grid);
}

void TConfigEditor::CreateRestGroup(QWidget* window) {
  m_jvgbREST = Named(new TConfigGroup(QStringLiteral("Serwer danych:"), window), "jvgbREST");
  QGridLayout* grid = MakeGrid(m_jvgbREST);
  m_edtAddr1 = AddRow(grid, "lblAddr1", QStringLiteral("Adres podstawowy:"),
                      MakeText(m_jvgbREST, "edtAddr1", kAddressMaxChars), false);
  m_spePort1 = AddRow(grid, "lblPort1", QStringLiteral("Port podstawowy:"),
                      MakeSpin(m_jvgbREST, "spePort1", kPortLimits), true);
  m_edtAddr2 = AddRow(grid, "lblAddr2", QStringLiteral("Adres rezerwowy:"),
                      MakeText(m_jvgbREST, "edtAddr2", kAddressMaxChars), false);
  m_spePort2 = AddRow(grid, "lblPort2", QStringLiteral("Port rezerwowy:"),
                      MakeSpin(m_jvgbREST, "spePort2", kPortLimits), true);
  m_edtAddrSEL = AddRow(grid, "lblAddrSEL", QStringLiteral("Adres SEL:"),
                        MakeText(m_jvgbREST, "edtAddrSEL", kAddressMaxChars), false);
  m_edtKey = AddRow(grid, "lblKey", QStringLiteral("Klucz API:"),
                    MakeText(m_jvgbREST, "edtKey", kKeyMaxChars), false);
  EndGrid(grid);
}

void TConfigEditor::CreateNtpGroup(QWidget* window) {
  m_jvgbNTP = Named(new TConfigGroup(QStringLiteral("Serwer NTP:"), window), "jvgbNTP");
  QGridLayout* grid = MakeGrid(m_jvgbNTP);
  m_edtNTPAddress = AddRow(grid, "lblNTPAddress", QStringLiteral("Adres:"),
                           MakeText(m_jvgbNTP, "edtNTPAddress", kAddressMaxChars), false);
  m_speNTPPort = AddRow(grid, "lblNTPPort", QStringLiteral("Port:"),
                        MakeSpin(m_jvgbNTP, "speNTPPort", kPortLimits), true);
  auto* time = Named(new QTimeEdit(m_jvgbNTP), "dtpSyncTime");
  time->setDisplayFormat(QStringLiteral("HH:mm"));
  time->setFixedWidth(kNarrowFieldWidth);
  m_dtpSyncTime =
      AddRow(grid, "lblSyncTime", QStringLiteral("Godzina synchronizacji:"), time, true);
  EndGrid(grid);
}

void TConfigEditor::CreatePeriodGroup(QWidget* window) {
  m_jvgbPeriod = Named(new TConfigGroup(QStringLiteral("Odczyt danych:"), window), "jvgbPeriod");
  QGridLayout* grid = MakeGrid(m_jvgbPeriod);
  m_speDataInterval = AddRow(grid, "lblDataInterval", QStringLiteral("Interwał odczytów [s]:"),
                             MakeSpin(m_jvgbPeriod, "speDataInterval", kDataIntervalLimits), true);
  m_chbRESTInterval = Named(new QCheckBox(QStringLiteral("Wysyłanie na serwer [s]:"), m_jvgbPeriod),
                            "chbRESTInterval");
  m_speRESTInterval = MakeSpin(m_jvgbPeriod, "speRESTInterval", kRestIntervalLimits);
  const int row = grid->rowCount();
  grid->addWidget(m_chbRESTInterval, row, 0);
  grid->addWidget(m_speRESTInterval, row, 1, Qt::AlignLeft);
  // The row keeps its height while the spin field is hidden.
  grid->setRowMinimumHeight(row, m_speRESTInterval->sizeHint().height());
  EndGrid(grid);
}

void TConfigEditor::CreateLooseFields(QWidget* window) {
  m_lblLoginPassword =
      Named(new QLabel(QStringLiteral("Hasło logowania:"), window), "lblLoginPassword");
  m_edtLoginPassword = MakeText(window, "edtLoginPassword", kPasswordMaxChars);
  m_edtLoginPassword->setEchoMode(QLineEdit::Password);
  m_edtLoginPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
  m_lblLoginPassword->setBuddy(m_edtLoginPassword);

  m_lblToken = Named(new QLabel(QStringLiteral("Token:"), window), "lblToken");
  m_edtToken = MakeText(window, "edtToken", kTokenMaxChars);
  m_edtToken->setReadOnly(true);
  m_lblToken->setBuddy(m_edtToken);
}

void TConfigEditor::LayOut(const QRect& area) {
  const int leftWidth = (area.width() - kGap) / 2;
  const int rightX = area.x() + leftWidth + kGap;
  const int rightWidth = area.right() + 1 - rightX;

  const int topHeight =
      std::max(m_jvgbConfig->sizeHint().height(), m_jvgbREST->sizeHint().height());
  m_jvgbConfig->setGeometry(area.x(), area.y(), leftWidth, topHeight);
  m_jvgbREST->setGeometry(rightX, area.y(), rightWidth, topHeight);

  // Lower right: jvgbPeriod with the password and the token below it; jvgbNTP on the left
  // reaches down as far as the token.
  const int bottomY = area.y() + topHeight + kGap;
  const int periodHeight = m_jvgbPeriod->sizeHint().height();
  m_jvgbPeriod->setGeometry(rightX, bottomY, rightWidth, periodHeight);

  const int rowHeight = m_edtLoginPassword->sizeHint().height();
  const int labelX = rightX + 8;
  const int fieldX = labelX + kLooseLabelWidth;
  const int fieldWidth = area.right() + 1 - fieldX;
  int y = bottomY + periodHeight + kGap;
  m_lblLoginPassword->setGeometry(labelX, y, kLooseLabelWidth, rowHeight);
  m_edtLoginPassword->setGeometry(fieldX, y, fieldWidth, rowHeight);
  y += rowHeight + 4;
  m_lblToken->setGeometry(labelX, y, kLooseLabelWidth, rowHeight);
  m_edtToken->setGeometry(fieldX, y, fieldWidth, rowHeight);

  const int ntpHeight = std::max(m_jvgbNTP->sizeHint().height(), y + rowHeight - bottomY);
  m_jvgbNTP->setGeometry(area.x(), bottomY, leftWidth, ntpHeight);
}

TEditorValues TConfigEditor::Values() const {
  TEditorValues values;
  values.staticIp = m_rgConnectionType->ItemIndex() == 1;
  values.ip = m_jipaIP->Address();
  values.mask = m_jipaMask->Address();
  values.gateway = m_jipaGateway->Address();
  values.dns = m_jipaDNS->Address();
  values.port = m_spePort->Value();

  values.addr1 = ToUtf8(m_edtAddr1->text());
  values.port1 = m_spePort1->Value();
  values.addr2 = ToUtf8(m_edtAddr2->text());
  values.port2 = m_spePort2->Value();
  values.addrSel = ToUtf8(m_edtAddrSEL->text());
  values.key = ToUtf8(m_edtKey->text());

  values.ntpAddress = ToUtf8(m_edtNTPAddress->text());
  values.ntpPort = m_speNTPPort->Value();
  const QTime time = m_dtpSyncTime->time();
  values.syncHour = time.hour();
  values.syncMinute = time.minute();

  values.dataInterval = m_speDataInterval->Value();
  values.restEnabled = m_chbRESTInterval->isChecked();
  values.restInterval = m_speRESTInterval->Value();

  values.loginPassword = ToUtf8(m_edtLoginPassword->text());
  values.token = ToUtf8(m_edtToken->text());
  return values;
}

void TConfigEditor::EditorToRecords(TDeviceRecords& records,
                                    std::vector<TMachineState>& states) const {
  ethconf::EditorToRecords(Values(), records, states);
}

void TConfigEditor::RecordsToEditor(const TDeviceRecords& records) {
  TEditorValues values = Values();
  try {
    ethconf::RecordsToEditor(records, values);
  } catch (const TConversionError&) {
    ShowUpToNtpPort(values);
    throw;
  }
  ShowUpToNtpPort(values);
  ShowFromSyncTime(values);
}

void TConfigEditor::chbRESTIntervalClick() {
  m_speRESTInterval->setVisible(m_chbRESTInterval->isChecked());
}

void TConfigEditor::ShowUpToNtpPort(const TEditorValues& values) {
  m_rgConnectionType->SetItemIndex(values.staticIp ? 1 : 0);
  m_jipaIP->SetAddress(values.ip);
  m_jipaMask->SetAddress(values.mask);
  m_jipaGateway->SetAddress(values.gateway);
  m_jipaDNS->SetAddress(values.dns);
  m_spePort->SetValue(values.port);

  m_edtAddr1->setText(FromUtf8(values.addr1));
  m_spePort1->SetValue(values.port1);
  m_edtAddr2->setText(FromUtf8(values.addr2));
  m_spePort2->SetValue(values.port2);
  m_edtAddrSEL->setText(FromUtf8(values.addrSel));
  m_edtKey->setText(FromUtf8(values.key));

  m_edtNTPAddress->setText(FromUtf8(values.ntpAddress));
  m_speNTPPort->SetValue(values.ntpPort);
}

void TConfigEditor::ShowFromSyncTime(const TEditorValues& values) {
  m_dtpSyncTime->setTime(QTime(values.syncHour, values.syncMinute, 0));
  m_speDataInterval->SetValue(values.dataInterval);
  m_chbRESTInterval->setChecked(values.restEnabled);
  // A cleared box leaves the hidden interval as it was, to be offered when it is ticked again.
  if (values.restEnabled) {
    m_speRESTInterval->SetValue(values.restInterval);
  }
  m_edtLoginPassword->setText(FromUtf8(values.loginPassword));
  m_edtToken->setText(FromUtf8(values.token));
}

}  // namespace ethconf
