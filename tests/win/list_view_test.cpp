// The list view on its own: an image list it is given stays its maker's.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "win32/form.h"
#include "win32/list_view.h"

namespace {

// Several lists show one image list, which its maker destroys once; a list
// view that destroyed it when it closed would leave the others a dead one.
TEST(ListView, AnImageListItIsGivenOutlivesIt) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4);
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_EQ(ImageList_AddIcon(images, icon), 0);
    for (bool checkBoxes : {false, true}) {
        SCOPED_TRACE(checkBoxes ? "with check boxes" : "without check boxes");
        {
            win32::Form form("Probe");
            form.SetClientSize(200, 100);
            auto* list = form.Own(std::make_unique<win32::ListView>("List"));
            list->CheckBoxes = checkBoxes;
            list->SetBounds(0, 0, 200, 100);
            list->SetImageList(images);
            form.Insert(list);
            form.CreateForm();
            list->AddItem("row", 0);
            EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(images));
        }
        EXPECT_EQ(ImageList_GetImageCount(images), 1);
    }
    EXPECT_TRUE(ImageList_Destroy(images));
}

}  // namespace
