#include "output/module_resources.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResource>
#include <algorithm>
#include <cstddef>

// The compiled resource collection, embedded by the build.
extern const unsigned char kZelbaModuleResources[];
extern const std::size_t kZelbaModuleResourcesSize;

namespace zelba {

const char kModuleResourceRoot[] = ":/zelba";

namespace {

QJsonObject readJsonObject(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QJsonObject();
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
  return document.isObject() ? document.object() : QJsonObject();
}

QString resourcePath(const QString& relative) {
  return QString::fromLatin1(kModuleResourceRoot) + QLatin1Char('/') + relative;
}

}  // namespace

namespace {

// The registration lasts while the library is loaded: the resource system
// reads the data in place, so it is taken back before the library (and its
// data) goes.
class Registration {
 public:
  Registration()
      : registered_(kZelbaModuleResourcesSize > 0 &&
                    QResource::registerResource(kZelbaModuleResources)) {}
  ~Registration() {
    if (registered_) QResource::unregisterResource(kZelbaModuleResources);
  }
  Registration(const Registration&) = delete;
  Registration& operator=(const Registration&) = delete;
  bool registered() const { return registered_; }

 private:
  bool registered_;
};

}  // namespace

bool registerModuleResources() {
  static const Registration registration;
  return registration.registered();
}

const FormControl* DialogForm::control(int controlId) const {
  for (const FormControl& one : controls) {
    if (one.id == controlId) return &one;
  }
  return nullptr;
}

DialogForm dialogForm(int templateId) {
  const QJsonObject json =
      readJsonObject(resourcePath(QStringLiteral("forms/%1.json").arg(templateId)));
  DialogForm form;
  if (json.value(QStringLiteral("id")).toInt() != templateId) return form;
  form.id = templateId;
  form.caption = json.value(QStringLiteral("caption")).toString();
  form.font = json.value(QStringLiteral("font")).toString();
  form.points = json.value(QStringLiteral("points")).toInt();
  form.size = QSize(json.value(QStringLiteral("width")).toInt(),
                    json.value(QStringLiteral("height")).toInt());
  for (const QJsonValue& value : json.value(QStringLiteral("controls")).toArray()) {
    const QJsonObject one = value.toObject();
    FormControl control;
    control.id = one.value(QStringLiteral("id")).toInt(-1);
    control.kind = one.value(QStringLiteral("kind")).toString();
    control.text = one.value(QStringLiteral("text")).toString();
    control.rect = QRect(
        one.value(QStringLiteral("x")).toInt(), one.value(QStringLiteral("y")).toInt(),
        one.value(QStringLiteral("width")).toInt(), one.value(QStringLiteral("height")).toInt());
    control.isDefault = one.value(QStringLiteral("default")).toBool();
    control.row = one.value(QStringLiteral("row")).toInt();
    control.column = one.value(QStringLiteral("column")).toInt();
    control.columnSpan = std::max(1, one.value(QStringLiteral("columnSpan")).toInt(1));
    control.group = one.value(QStringLiteral("group")).toString();
    control.name = one.value(QStringLiteral("name")).toString();
    control.buddy = one.value(QStringLiteral("buddy")).toInt(-1);
    control.hidden = one.value(QStringLiteral("hidden")).toBool();
    form.controls.push_back(control);
  }
  return form;
}

QImage moduleBitmap(int id) {
  return QImage(resourcePath(QStringLiteral("bitmaps/%1.bmp").arg(id)));
}

QString moduleString(const QString& key) {
  return readJsonObject(resourcePath(QStringLiteral("strings.json"))).value(key).toString();
}

}  // namespace zelba
