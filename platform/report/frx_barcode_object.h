#pragma once

// Makes the bar-code object available to the report engine. The engine always knows it; the
// class only stands where a data module holds the component. It has no settings.
class TfrxBarCodeObject {};
