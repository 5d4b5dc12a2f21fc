puts "before"
eval("1 +")
