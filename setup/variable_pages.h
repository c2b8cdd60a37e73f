// The five variable pages of the setup sheet: Measurements, Production
// Times, Welltest, Equations and Writeback. Each binds host variables to
// the engine's inputs through its slot table; the Measurements page also
// chooses the point-of-measurement category and the shrinkage, the Welltest
// page carries the GOR, BSW, Fraction and (hidden) BHP flags, the
// Production Times page the Down Time flag and the default hours, the
// Equations page the Interpolate and Nominal flags.
#pragma once

#include "setup/setup_page.h"
#include "setup/setup_record.h"

// Measurements (template 20104, page 0).
class ZELBA_SETUP_EXPORT_CLASS CPomTab : public CVariablePage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20104;
  static constexpr int kCategoryBox = 1006;
  static constexpr int kShrinkageEdit = 1029;

  explicit CPomTab(zelba::PomTabMembers& members, QWidget* parent = nullptr);

  // The shrinkage must be a real number from 0.0 to 2.0 and a category must
  // be chosen ("POM Error"); otherwise the page stays.
  bool DoDataExchange(bool save) override;
  const zelba::PomTabMembers& members() const { return m_; }

 protected:
  void OnInitDialog() override;

 private:
  zelba::PomTabMembers& m_;
};

// Production Times (template 20106, page 1).
class ZELBA_SETUP_EXPORT_CLASS CPtTab : public CVariablePage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20106;
  static constexpr int kDownTimeCheck = 1005;
  static constexpr int kDefaultHoursEdit = 1028;

  explicit CPtTab(zelba::PtTabMembers& members, QWidget* parent = nullptr);

  // The default hours must be a real number; otherwise the page stays.
  bool DoDataExchange(bool save) override;
  const zelba::PtTabMembers& members() const { return m_; }

 protected:
  void OnInitDialog() override;

 private:
  zelba::PtTabMembers& m_;
};

// Welltest (template 20105, page 2).
class ZELBA_SETUP_EXPORT_CLASS CWTVars : public CVariablePage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20105;
  static constexpr int kGorCheck = 1005;
  static constexpr int kBswCheck = 1044;
  static constexpr int kBhpCheck = 1046;
  static constexpr int kFractionCheck = 1069;

  explicit CWTVars(zelba::WtVarsMembers& members, QWidget* parent = nullptr);

  bool DoDataExchange(bool save) override;
  const zelba::WtVarsMembers& members() const { return m_; }

 protected:
  void OnInitDialog() override;

 private:
  zelba::WtVarsMembers& m_;
};

// Equations (template 20109, page 3).
class ZELBA_SETUP_EXPORT_CLASS CEqTab : public CVariablePage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20109;
  static constexpr int kInterpolateCheck = 1005;
  static constexpr int kNominalCheck = 1068;

  explicit CEqTab(zelba::EqTabMembers& members, QWidget* parent = nullptr);

  bool DoDataExchange(bool save) override;
  const zelba::EqTabMembers& members() const { return m_; }

 private:
  zelba::EqTabMembers& m_;
};

// Writeback to ZEL (template 20108, page 5).
class ZELBA_SETUP_EXPORT_CLASS TabRes : public CVariablePage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20108;

  explicit TabRes(zelba::TabResMembers& members, QWidget* parent = nullptr);

  bool DoDataExchange(bool) override { return true; }
  const zelba::TabResMembers& members() const { return m_; }

 private:
  zelba::TabResMembers& m_;
};
