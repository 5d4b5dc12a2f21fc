Dir.chdir("/tmp") { puts "inside" }
puts "back"
