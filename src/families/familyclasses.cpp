#include "families/familyclasses.h"

#include "devices/catalogue.h"
#include "devices/devlist.h"
#include "families/cat64.h"
#include "families/cxk.h"
#include "families/i2c.h"
#include "families/i2c0.h"
#include "families/i2c1.h"
#include "families/m25p.h"
#include "families/m35080.h"
#include "families/m6m.h"
#include "families/mw.h"
#include "families/mw77007.h"
#include "families/mws.h"
#include "families/placeholders.h"
#include "families/s29x90.h"
#include "families/sde2506.h"
#include "families/spi.h"
#include "families/tc89.h"

namespace {
template <class T> TDeviceFactory FactoryOf() {
  return [](const TDevInfo& info) { return std::make_unique<T>(info); };
}
} // namespace

void RegisterFamilyClasses(TDeviceList& list) {
  list.RegisterClass("mc05", FactoryOf<TMC68HC05B>());
  list.RegisterClass("m05x", FactoryOf<TMC68HC05X>());
  list.RegisterClass("m705", FactoryOf<TMC68HC705B>());
  list.RegisterClass("05e6", FactoryOf<TMC68HC05E>());
  list.RegisterClass("05p3", FactoryOf<TMC68HC05P>());
  list.RegisterClass("05h1", FactoryOf<TMC68HC05H>());
  list.RegisterClass("05l2", FactoryOf<TMC68HC05L>());
  list.RegisterClass("mc11", FactoryOf<TMC68HC11E>());
  list.RegisterClass("11es", FactoryOf<TMC68HC11S>());
  list.RegisterClass("11ea", FactoryOf<TMC68HC11ea>());
  list.RegisterClass("11k4", FactoryOf<TMC68HC11K>());
  list.RegisterClass("m912", FactoryOf<TMC68HC912>());
  list.RegisterClass("9s12", FactoryOf<TMC9S12>());
  list.RegisterClass("s12x", FactoryOf<TMC9S12X>());
  list.RegisterClass("908a", FactoryOf<TMC68HC908>());
  list.RegisterClass("spis", FactoryOf<TSPI>());
  list.RegisterClass("miwi", FactoryOf<TMW>());
  list.RegisterClass("i2cn", FactoryOf<TI2C>());
  list.RegisterClass("i2c0", FactoryOf<TI2C0>());
  list.RegisterClass("i2c1", FactoryOf<TI2C1>());
  list.RegisterClass("m350", FactoryOf<TM35080>());
  list.RegisterClass("m25p", FactoryOf<TM25P>());
  list.RegisterClass("miws", FactoryOf<TMWS>());
  list.RegisterClass("tcto", FactoryOf<TTC89>());
  list.RegisterClass("m6m8", FactoryOf<TM6M>());
  list.RegisterClass("cxso", FactoryOf<TCXK>());
  list.RegisterClass("sdes", FactoryOf<TSDE2506>());
  list.RegisterClass("necf", FactoryOf<TuPD780828>());
  list.RegisterClass("cr16", FactoryOf<TCR16MCS>());
  list.RegisterClass("90s2", FactoryOf<TAT90S23>());
  list.RegisterClass("89s5", FactoryOf<TAT89S8252>());
  list.RegisterClass("89s1", FactoryOf<TAT89S51>());
  list.RegisterClass("tms3", FactoryOf<TTMS370Cx5x>());
  list.RegisterClass("tms2", FactoryOf<TTMS370Cx02>());
  list.RegisterClass("tms4", FactoryOf<TTMS374C003>());
  list.RegisterClass("p16f", FactoryOf<TPIC16F84>());
  list.RegisterClass("p12f", FactoryOf<TPIC12F509>());
  list.RegisterClass("st62", FactoryOf<TST6240>());
  list.RegisterClass("miw7", FactoryOf<TMW77007>());
  list.RegisterClass("s-29", FactoryOf<TS29x90>());
  list.RegisterClass("cat6", FactoryOf<TCAT64>());
}

std::unique_ptr<TDeviceList> CreateDeviceList() {
  auto list = std::make_unique<TDeviceList>();
  RegisterFamilyClasses(*list);
  for (const TDevInfo& row : BuiltInCatalogue())
    list->AddDevInfo(row);
  return list;
}
