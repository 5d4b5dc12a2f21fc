puts "ok \xff\xfe end"
puts "\xe3\x81".b
