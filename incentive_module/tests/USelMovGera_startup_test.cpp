#include "ZIRTestSupport.h"

#include "USelMovGera.h"

using namespace zir_test;

TEST_F(ZIRIniciado, TheGenerationDataModuleIsCreatedAtStartUp)
{
    ASSERT_TRUE(Dm_Gerar);
}
