#include <gtest/gtest.h>

#include "cleaner/frm_main.h"

TEST(Smoke, WizardBuilds) {
    cleaner::TFrm_Main form;
    EXPECT_EQ(form.DataNotebook->PageIndex(), 0);
}
