// CFieldProp: the property page that binds a field (or the result table's
// fields) to a data field of an infrared image: image number (1..1000),
// object number (1..101, the analysis), the difference flag and the field.
//
// Single-field mode (0): one field, shown as the hot item; the object number
// is enabled for groups 3 and above only. Several-field mode (4): check
// boxes; OK sorts FieldIdList ascending. A number outside its range is
// refused with the data exchange's range message, the focus on its edit.
#pragma once

#include "document/property_sheet.h"

#include <QList>

class DocumentEnvironment;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

class CFieldProp : public PropertyPage {
public:
    static constexpr int kSingleField = 0;
    static constexpr int kSeveralFields = 4;
    // Control ids.
    enum : int {
        kFieldList = 209,
        kGroupList = 208,
        kImageNumber = 400,
        kObjectNumber = 401,
        kImageLabel = 406,
        kObjectLabel = 407,
        kDifference = 464,
    };
    static constexpr int kTemplateId = 147;

    explicit CFieldProp(DocumentEnvironment& env, QWidget* parent = nullptr);

    int m_nImageNumber = 1;
    int m_nObjectNumber = 1;
    int m_bDifference = 0;
    int m_nFieldId = -1;
    int m_nMode = kSingleField;
    QList<quint32> FieldIdList;
    int m_nSelectedIndex = -1;
    int m_nSelectedGroup = -1;

    void OnOK() override;

    // The group list's selection changed: fill the field list.
    void FillFieldList();
    // An item's check box or current item changed.
    void OnFieldItemChanged(int index, bool checked);
    // The hot item of the field list (-1: none).
    int HotItem() const { return m_hotItem; }
    QListWidget* FieldList() const { return m_fieldList; }
    QListWidget* GroupList() const { return m_groupList; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    DocumentEnvironment& m_env;
    QListWidget* m_fieldList = nullptr;
    QListWidget* m_groupList = nullptr;
    QLineEdit* m_imageEdit = nullptr;
    QLineEdit* m_objectEdit = nullptr;
    QLabel* m_objectLabel = nullptr;
    QCheckBox* m_difference = nullptr;
    int m_hotItem = -1;
    bool m_filling = false;
};
