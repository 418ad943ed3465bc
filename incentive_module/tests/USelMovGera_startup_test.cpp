#include "ZIRTestSupport.h"

#include "USelMovGera.h"
#include "UValidar.h"

using namespace zir_test;

TEST_F(ZIRIniciado, TheValidationsGenerateHookOpensTheGenerationList)
{
    ASSERT_TRUE(Dm_Gerar);
    ASSERT_TRUE(bool(AbreSelMovGera));
    EXPECT_EQ(AbreSelMovGera.target<void (*)()>() ? *AbreSelMovGera.target<void (*)()>() : nullptr,
              &MostraSelMovGera);
}
